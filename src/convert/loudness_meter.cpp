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

}  // namespace

struct LoudnessMeter::State {
  ebur128_state* meter = nullptr;
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
  if (channels < 1 || channels > kMaxChannels || sampleRate <= 0) return false;
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
  m_state = std::move(state);
  return true;
}

void LoudnessMeter::AddInt16(const std::int16_t* samples, std::size_t frames) {
  if (m_state) ebur128_add_frames_short(m_state->meter, samples, frames);
}

void LoudnessMeter::AddUint8(const std::uint8_t* samples, std::size_t frames) {
  if (!m_state) return;
  const std::size_t count = frames * m_state->meter->channels;
  m_scratch.resize(count);
  constexpr float kScale = 1.0f / 128.0f;
  for (std::size_t i = 0; i < count; ++i) m_scratch[i] = static_cast<float>(samples[i] - kSilence8) * kScale;
  ebur128_add_frames_float(m_state->meter, m_scratch.data(), frames);
}

void LoudnessMeter::AddInt32(const std::int32_t* samples, std::size_t frames, int bits) {
  if (!m_state) return;
  if (bits == 32) {
    ebur128_add_frames_int(m_state->meter, samples, frames);
    return;
  }
  const std::size_t count = frames * m_state->meter->channels;
  m_scratch.resize(count);
  const auto scale = static_cast<float>(std::ldexp(1.0, 1 - bits));
  for (std::size_t i = 0; i < count; ++i) m_scratch[i] = static_cast<float>(samples[i]) * scale;
  ebur128_add_frames_float(m_state->meter, m_scratch.data(), frames);
}

void LoudnessMeter::AddFloat(const float* samples, std::size_t frames) {
  if (m_state) ebur128_add_frames_float(m_state->meter, samples, frames);
}

void LoudnessMeter::AddDouble(const double* samples, std::size_t frames) {
  if (m_state) ebur128_add_frames_double(m_state->meter, samples, frames);
}

Loudness LoudnessMeter::Result() const { return Together({this}); }

Loudness LoudnessMeter::Together(const std::vector<const LoudnessMeter*>& meters) {
  Loudness result;
  std::vector<ebur128_state*> states;
  for (const LoudnessMeter* m : meters) {
    if (!m || !m->m_state) continue;
    ebur128_state* meter = m->m_state->meter;
    states.push_back(meter);
    for (unsigned c = 0; c < meter->channels; ++c) {
      double peak = 0;
      if (ebur128_true_peak(meter, c, &peak) == EBUR128_SUCCESS) result.truePeak = std::max(result.truePeak, peak);
    }
  }
  if (states.empty()) return result;
  double integrated = 0;
  if (ebur128_loudness_global_multiple(states.data(), states.size(), &integrated) == EBUR128_SUCCESS &&
      std::isfinite(integrated)) {
    result.integrated = integrated;
  }
  double range = 0;
  const bool ranges = std::all_of(states.begin(), states.end(),
                                  [](const ebur128_state* s) { return (s->mode & EBUR128_MODE_LRA) == EBUR128_MODE_LRA; });
  if (ranges && ebur128_loudness_range_multiple(states.data(), states.size(), &range) == EBUR128_SUCCESS &&
      std::isfinite(range)) {
    result.range = range;
  }
  return result;
}

}  // namespace velmora
