#include "convert/loudness_meter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

#include "audio/source_info.h"

namespace velmora {
namespace {

constexpr int kProgrammeMode = EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK;
// The true peak of digital silence, in dBTP, rather than minus infinity.
constexpr double kSilenceDb = -200.0;
// BS.1770's gates, and the offset between a block's mean square and its loudness.
constexpr double kAbsoluteGateLufs = -70.0;
constexpr double kRelativeGateLu = -10.0;
constexpr double kLoudnessOffset = -0.691;

double EnergyOf(double lufs) { return std::isfinite(lufs) ? std::pow(10.0, (lufs - kLoudnessOffset) / 10.0) : 0.0; }

}  // namespace

struct LoudnessMeter::State {
  ebur128_state* meter = nullptr;
  // The library closes its first gating block after 400 ms of frames and one more after every
  // further 100 ms, where 100 ms is the rate over ten, rounded. The meter feeds it up to each of
  // those ends and reads the block there.
  std::size_t blockStep = 0;
  std::size_t untilBlock = 0;
  ~State() {
    if (meter) ebur128_destroy(&meter);
  }
};

double Loudness::TruePeakDb() const { return truePeak > 0 ? 20.0 * std::log10(truePeak) : kSilenceDb; }

LoudnessMeter::LoudnessMeter() = default;
LoudnessMeter::~LoudnessMeter() = default;
LoudnessMeter::LoudnessMeter(LoudnessMeter&&) noexcept = default;
LoudnessMeter& LoudnessMeter::operator=(LoudnessMeter&&) noexcept = default;

bool LoudnessMeter::Start(int channels, int sampleRate, bool withRange) {
  m_state.reset();
  m_blocks.clear();
  m_truePeak = m_range = 0;
  m_nonFinite = 0;
  if (channels < 1 || channels > kMaxChannels || !MeasurableRate(sampleRate)) return false;
  auto state = std::make_unique<State>();
  state->meter = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate),
                               withRange ? kProgrammeMode | EBUR128_MODE_LRA : kProgrammeMode);
  if (!state->meter) return false;
  // AIFF orders four channels as left, right, rear left, rear right, and six as left, left
  // centre, centre, right, right centre, surround. The library's own map would call the
  // fourth channel of six an LFE and leave it out.
  const auto set = [&](unsigned channel, int role) { ebur128_set_channel(state->meter, channel, role); };
  if (channels == 4) {
    set(2, EBUR128_LEFT_SURROUND);
    set(3, EBUR128_RIGHT_SURROUND);
  } else if (channels == 6) {
    for (unsigned c = 0; c < 5; ++c) set(c, EBUR128_CENTER);
    set(5, EBUR128_LEFT_SURROUND);
  } else {
    for (unsigned c = 0; c < static_cast<unsigned>(channels); ++c) set(c, c == 0 ? EBUR128_LEFT : c == 1 ? EBUR128_RIGHT : EBUR128_CENTER);
  }
  state->blockStep = (static_cast<std::size_t>(sampleRate) + 5) / 10;
  state->untilBlock = 4 * state->blockStep;
  m_channels = channels;
  m_state = std::move(state);
  return true;
}

template <typename Sample, typename Add>
void LoudnessMeter::Feed(const Sample* samples, std::size_t frames, Add add) {
  State& state = *m_state;
  while (frames > 0) {
    const std::size_t count = std::min(frames, state.untilBlock);
    add(samples, count);
    samples += count * static_cast<std::size_t>(m_channels);
    frames -= count;
    state.untilBlock -= count;
    if (state.untilBlock == 0) {
      // The momentary loudness is the last 400 ms: at a block's end, that block.
      double lufs = 0;
      if (ebur128_loudness_momentary(state.meter, &lufs) == EBUR128_SUCCESS) m_blocks.push_back(EnergyOf(lufs));
      state.untilBlock = state.blockStep;
    }
  }
}

void LoudnessMeter::AddInt32(const std::int32_t* samples, std::size_t frames, int bits) {
  if (!m_state) return;
  if (bits == 32) {
    Feed(samples, frames, [&](const std::int32_t* s, std::size_t n) { ebur128_add_frames_int(m_state->meter, s, n); });
    return;
  }
  const std::size_t count = frames * static_cast<std::size_t>(m_channels);
  m_scratch.resize(count);
  const auto scale = static_cast<float>(std::ldexp(1.0, 1 - bits));
  for (std::size_t i = 0; i < count; ++i) m_scratch[i] = static_cast<float>(samples[i]) * scale;
  AddFloat(m_scratch.data(), frames);
}

// One NaN would fill the library's filters with NaN for the rest of the stream, and one
// infinity its true peak: such samples are measured as silence instead, and counted.
void LoudnessMeter::AddFloat(const float* samples, std::size_t frames) {
  if (!m_state) return;
  const std::size_t count = frames * static_cast<std::size_t>(m_channels);
  if (std::all_of(samples, samples + count, [](float s) { return std::isfinite(s); })) {
    Feed(samples, frames, [&](const float* s, std::size_t n) { ebur128_add_frames_float(m_state->meter, s, n); });
    return;
  }
  m_finite.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const bool finite = std::isfinite(samples[i]);
    m_finite[i] = finite ? samples[i] : 0.0;
    m_nonFinite += finite ? 0 : 1;
  }
  Feed(m_finite.data(), frames, [&](const double* s, std::size_t n) { ebur128_add_frames_double(m_state->meter, s, n); });
}

void LoudnessMeter::AddDouble(const double* samples, std::size_t frames) {
  if (!m_state) return;
  const std::size_t count = frames * static_cast<std::size_t>(m_channels);
  const double* finite = samples;
  if (!std::all_of(samples, samples + count, [](double s) { return std::isfinite(s); })) {
    m_finite.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      m_finite[i] = std::isfinite(samples[i]) ? samples[i] : 0.0;
      m_nonFinite += std::isfinite(samples[i]) ? 0 : 1;
    }
    finite = m_finite.data();
  }
  Feed(finite, frames, [&](const double* s, std::size_t n) { ebur128_add_frames_double(m_state->meter, s, n); });
}

void LoudnessMeter::TakePeaks() {
  ebur128_state* meter = m_state->meter;
  for (unsigned c = 0; c < meter->channels; ++c) {
    double peak = 0;
    if (ebur128_true_peak(meter, c, &peak) == EBUR128_SUCCESS) m_truePeak = std::max(m_truePeak, peak);
  }
  double range = 0;
  if ((meter->mode & EBUR128_MODE_LRA) == EBUR128_MODE_LRA && ebur128_loudness_range(meter, &range) == EBUR128_SUCCESS &&
      std::isfinite(range)) {
    m_range = range;
  }
}

void LoudnessMeter::Finish() {
  if (!m_state) return;
  TakePeaks();
  m_state.reset();
  m_scratch = {};
  m_finite = {};
  m_blocks.shrink_to_fit();
}

Loudness LoudnessMeter::Result() const { return Together({this}); }

Loudness LoudnessMeter::Together(const std::vector<const LoudnessMeter*>& meters) {
  Loudness result;
  std::vector<ebur128_state*> live;
  for (const LoudnessMeter* m : meters) {
    if (!m) continue;
    result.truePeak = std::max(result.truePeak, m->m_truePeak);
    if (meters.size() == 1) result.range = m->m_range;
    result.nonFinite += m->m_nonFinite;
    if (!m->m_state) continue;
    ebur128_state* meter = m->m_state->meter;
    live.push_back(meter);
    for (unsigned c = 0; c < meter->channels; ++c) {
      double peak = 0;
      if (ebur128_true_peak(meter, c, &peak) == EBUR128_SUCCESS) result.truePeak = std::max(result.truePeak, peak);
    }
  }
  result.integrated = IntegratedWithGain(meters, 0.0);
  // The range of a meter still measuring; only the command line's info asks for it, of one file.
  double range = 0;
  const bool ranges = !live.empty() && std::all_of(live.begin(), live.end(), [](const ebur128_state* s) {
    return (s->mode & EBUR128_MODE_LRA) == EBUR128_MODE_LRA;
  });
  if (ranges && ebur128_loudness_range_multiple(live.data(), live.size(), &range) == EBUR128_SUCCESS &&
      std::isfinite(range)) {
    result.range = range;
  }
  return result;
}

std::optional<double> LoudnessMeter::IntegratedWithGain(const std::vector<const LoudnessMeter*>& meters,
                                                        double gainDb) {
  const double factor = std::pow(10.0, gainDb / 10.0);
  const double absolute = EnergyOf(kAbsoluteGateLufs);
  double sum = 0;
  std::size_t count = 0;
  const auto each = [&](auto take) {
    for (const LoudnessMeter* m : meters) {
      if (!m) continue;
      for (const double block : m->m_blocks) take(block * factor);
    }
  };
  each([&](double energy) {
    if (energy >= absolute) {
      sum += energy;
      ++count;
    }
  });
  if (count == 0) return std::nullopt;
  const double relative = std::max(absolute, sum / static_cast<double>(count) * std::pow(10.0, kRelativeGateLu / 10.0));
  sum = 0;
  count = 0;
  each([&](double energy) {
    if (energy >= relative) {
      sum += energy;
      ++count;
    }
  });
  if (count == 0 || sum <= 0) return std::nullopt;
  return 10.0 * std::log10(sum / static_cast<double>(count)) + kLoudnessOffset;
}

}  // namespace velmora
