#include "settings/option_limits.h"

namespace velmora {
namespace {

// MPEG-2.5 below 16 kHz, MPEG-2 below 32 kHz, MPEG-1 from 32 kHz on.
constexpr int kLowestMpeg2Rate = 16000;
constexpr int kLowestMpeg1Rate = 32000;
constexpr int kMaxMpeg25BitRate = 64;
constexpr int kMaxMpeg2BitRate = 160;
constexpr int kMinMpeg1BitRate = 32;
constexpr int kBitRateMissingFromMpeg1 = 144;

}  // namespace

bool Mp3BitRateFitsRate(int kbps, int hz) {
  if (hz < kLowestMpeg2Rate) return kbps <= kMaxMpeg25BitRate;
  if (hz < kLowestMpeg1Rate) return kbps <= kMaxMpeg2BitRate;
  return kbps >= kMinMpeg1BitRate && kbps != kBitRateMissingFromMpeg1;
}

std::vector<int> Mp3BitRatesForRate(int hz) {
  std::vector<int> rates;
  for (const int kbps : kMp3BitRates) {
    if (Mp3BitRateFitsRate(kbps, hz)) rates.push_back(kbps);
  }
  return rates;
}

}  // namespace velmora
