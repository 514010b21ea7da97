#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace velmora {

// The few system calls that write and publish output go through this table, so that tests can
// inject a short write, ENOSPC, EINTR, a failing close, or a file system that refuses the
// no-replace rename (NFS, SMB), and watch the failure or fallback path work.
struct SystemCalls {
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  ssize_t (*pwrite)(int fd, const void* data, std::size_t size, off_t offset);
  int (*fdatasync)(int fd);
  int (*close)(int fd);
  int (*renameat2)(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags);
  int (*rename)(const char* from, const char* to);
  int (*link)(const char* from, const char* to);
  int (*unlink)(const char* path);
};

const SystemCalls& Sys();

// The system's text for an errno value ("No space left on device"). Safe on any thread, unlike
// strerror, whose buffer the batch's workers would share.
std::string SystemErrorText(int error);

// Replaces the table until the returned previous table is set back.
SystemCalls SetSystemCallsForTesting(const SystemCalls& calls);

}  // namespace velmora
