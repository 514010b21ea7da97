#include "settings/option_limits.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {
namespace {

// MPEG-2.5 below 16 kHz, MPEG-2 below 32 kHz, MPEG-1 from 32 kHz on.
constexpr int kLowestMpeg2Rate = 16000;
constexpr int kLowestMpeg1Rate = 32000;
constexpr int kMaxMpeg25BitRate = 64;
constexpr int kMaxMpeg2BitRate = 160;
constexpr int kMinMpeg1BitRate = 32;
constexpr int kBitRateMissingFromMpeg1 = 144;

// The candidate nearest to `value`; the lower one where two are equally near.
int Nearest(const std::vector<int>& candidates, int value) {
  int best = candidates.front();
  for (const int candidate : candidates) {
    if (std::abs(static_cast<long long>(candidate) - value) < std::abs(static_cast<long long>(best) - value)) {
      best = candidate;
    }
  }
  return best;
}

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

int NearestMp3SampleRate(int hz) { return Nearest({kMp3SampleRates.begin(), kMp3SampleRates.end()}, hz); }

int Mp3RateForBitRate(int kbps, int hz) {
  if (Mp3BitRateFitsRate(kbps, hz)) return hz;
  std::vector<int> rates;
  for (const int rate : kMp3SampleRates) {
    if (Mp3BitRateFitsRate(kbps, rate)) rates.push_back(rate);
  }
  return rates.empty() ? hz : Nearest(rates, hz);
}

int Mp3BitRateForRate(int hz, int kbps) {
  const bool offered = std::find(kMp3BitRates.begin(), kMp3BitRates.end(), kbps) != kMp3BitRates.end();
  if (offered && Mp3BitRateFitsRate(kbps, hz)) return kbps;
  const std::vector<int> bitRates = Mp3BitRatesForRate(hz);
  return bitRates.empty() ? kbps : Nearest(bitRates, kbps);
}

}  // namespace velmora
