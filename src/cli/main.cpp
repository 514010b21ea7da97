#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

int main(int argc, char** argv) {
  using namespace velmora::cli;
  InstallInterruptHandlers();
  // Output into a closed pipe (velmora-cli ... | head) must not end the program in the middle of
  // a file; writes there just fail.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseCommandLine(args, error);
  if (!options) return UsageError(error);
  switch (options->command) {
    case Command::Help:
      std::fputs(UsageText(), stdout);
      return kExitOk;
    case Command::Version:
      std::printf("velmora-cli %s\n", VELMORA_VERSION);
      return kExitOk;
    case Command::Info:
      return RunInfo(*options);
    case Command::Convert:
      return RunConvert(*options);
  }
  return kExitUsage;
}
