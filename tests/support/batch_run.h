#pragma once

#include <string>
#include <vector>

#include "convert/conversion_job.h"

namespace velmora::test {

// What a batch reported: each file's report, sorted by source path, and the measuring pass's
// progress as it came.
struct BatchRun {
  std::vector<FileReport> reports;
  std::vector<int> measured;
  bool measuredBeforeStart = true;  // every measuring report came before the first file started
};

// Converts `sources` in one batch into their own folders.
BatchRun RunBatch(const std::vector<std::string>& sources, OutputFormat format, const ConverterSettings& settings,
                  const WavTarget& target, int jobs = 1);

}  // namespace velmora::test
