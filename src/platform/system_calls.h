#pragma once

#include <sys/types.h>

#include <cstddef>

namespace velmora {

// The few system calls that write and publish output go through this table, so that tests can
// inject a short write, ENOSPC, EINTR or a failing close and watch the failure path work.
struct SystemCalls {
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  ssize_t (*pwrite)(int fd, const void* data, std::size_t size, off_t offset);
  int (*fdatasync)(int fd);
  int (*close)(int fd);
};

const SystemCalls& Sys();

// Replaces the table until the returned previous table is set back.
SystemCalls SetSystemCallsForTesting(const SystemCalls& calls);

}  // namespace velmora
