#include "convert/file_context.h"

namespace velmora {

std::optional<float> ChooseGain(std::optional<float> formatGain, const FileContext& context) {
  if (context.loudness && context.loudness->gain) return context.loudness->gain;
  return formatGain;
}

std::vector<std::pair<std::string, std::string>> LoudnessTexts(const FileContext& context) {
  if (!context.loudness || !context.loudness->replayGain) return {};
  return ReplayGainTags(*context.loudness->replayGain);
}

}  // namespace velmora
