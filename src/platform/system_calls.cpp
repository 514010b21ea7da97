#include "platform/system_calls.h"

#include <unistd.h>

namespace velmora {
namespace {

SystemCalls g_calls = {::write, ::pwrite, ::fdatasync, ::close};

}  // namespace

const SystemCalls& Sys() { return g_calls; }

SystemCalls SetSystemCallsForTesting(const SystemCalls& calls) {
  const SystemCalls previous = g_calls;
  g_calls = calls;
  return previous;
}

}  // namespace velmora
