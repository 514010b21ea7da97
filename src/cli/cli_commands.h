#pragma once

#include "cli/cli_options.h"

namespace velmora::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// velmora-cli info: one line per source with what its header says.
int RunInfo(const CliOptions& options);
// velmora-cli convert: the batch, with the saved settings and this run's overrides.
int RunConvert(const CliOptions& options);

}  // namespace velmora::cli
