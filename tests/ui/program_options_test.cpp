// The two programs' own --help and --version, run as a user runs them.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace velmora {
namespace {

std::string RunProgram(const std::string& environment, const char* program, const std::string& arguments, int& status) {
  std::string out;
  status = test::RunCommand("env " + environment + " timeout 60 " + test::ShellQuote(program) + " " + arguments + " 2>&1", &out);
  return out;
}

TEST(ProgramOptions, HelpAndVersionAnswerWithoutADisplayAndTellTheProjectVersion) {
  // No window system at all: --help and --version must not need one.
  const std::string noDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
  int status = -1;
  EXPECT_EQ(RunProgram(noDisplay, VELMORA_WINDOW_PATH, "--version", status), "velmora " VELMORA_VERSION "\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunProgram(noDisplay, VELMORA_CLI_PATH, "--version", status), "velmora-cli " VELMORA_VERSION "\n");
  EXPECT_EQ(status, 0);

  const std::string help = RunProgram(noDisplay, VELMORA_WINDOW_PATH, "--help", status);
  EXPECT_EQ(status, 0);
  for (const char* expected : {"[PATH...]", "--help", "--version"}) {
    EXPECT_NE(help.find(expected), std::string::npos) << expected << " missing from:\n" << help;
  }

  // An option the window program does not know is refused, not taken for a file to add.
  const std::string refused = RunProgram("QT_QPA_PLATFORM=offscreen", VELMORA_WINDOW_PATH, "--no-such-option", status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(refused.find("no-such-option"), std::string::npos) << refused;
}

}  // namespace
}  // namespace velmora
