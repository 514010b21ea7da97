#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

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

// The system's text for an errno value ("No space left on device"). Safe on any thread, unlike
// strerror, whose buffer the batch's workers would share.
std::string SystemErrorText(int error);

// Replaces the table until the returned previous table is set back.
SystemCalls SetSystemCallsForTesting(const SystemCalls& calls);

}  // namespace velmora
