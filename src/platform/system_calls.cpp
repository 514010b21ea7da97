#include "platform/system_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <type_traits>

namespace velmora {
namespace {

SystemCalls g_calls = {::write, ::pwrite, ::fdatasync, ::close, ::renameat2, ::rename, ::link, ::unlink};

}  // namespace

const SystemCalls& Sys() { return g_calls; }

std::string SystemErrorText(int error) {
  char buffer[256] = {};
  // The GNU strerror_r returns its text (in the buffer or a static one); the POSIX one fills the
  // buffer and returns 0. Both forms are handled so the code builds with either library.
  const auto result = ::strerror_r(error, buffer, sizeof buffer);
  if constexpr (std::is_same_v<decltype(result), char* const>) {
    return result ? std::string(result) : "Unknown error " + std::to_string(error);
  } else {
    return result == 0 ? std::string(buffer) : "Unknown error " + std::to_string(error);
  }
}

SystemCalls SetSystemCallsForTesting(const SystemCalls& calls) {
  const SystemCalls previous = g_calls;
  g_calls = calls;
  return previous;
}

}  // namespace velmora
