#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/file_outcome.h"
#include "convert/loudness_plan.h"

namespace velmora {

// What one file's conversion reports to and reads from its batch.
struct FileContext {
  std::function<void(std::uint64_t framesDone)> progress;  // after every block, source frames
  const std::atomic<bool>* cancel = nullptr;               // polled after every block
  const LoudnessPlan* loudness = nullptr;                  // normalisation's gain, ReplayGain tags
};

// The gain factor a file gets: normalisation's where it has one, else the format's own
// (none: the sound as it is).
std::optional<float> ChooseGain(std::optional<float> formatGain, const FileContext& context);

// The ReplayGain texts a file's tags carry; none without ReplayGain.
std::vector<std::pair<std::string, std::string>> LoudnessTexts(const FileContext& context);

inline FileOutcome InvalidRate(int rate) { return FileOutcome::RateFailure(FileReason::InvalidSampleRate, rate); }

}  // namespace velmora
