#pragma once

#include <csignal>
#include <string>

#include "cli/cli_options.h"

namespace velmora::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// The signals that cancel a batch (Ctrl+C, kill, a closed terminal).
inline constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Installs the handlers of kInterruptSignals: the first thing the program does, so that no
// signal ever finds the default action. Outside a batch a signal ends the program with
// kExitInterrupted; during one it cancels the batch cleanly.
void InstallInterruptHandlers();

// Prints a usage error with the hint to --help; returns kExitUsage.
int UsageError(const std::string& error);

// velmora-cli info: one line per source with what its header says.
int RunInfo(const CliOptions& options);
// velmora-cli convert: the batch, with the saved settings and this run's overrides.
int RunConvert(const CliOptions& options);

}  // namespace velmora::cli
