#include "convert/loudness_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "settings/option_limits.h"

namespace velmora {
namespace {

double DbToFactor(double db) { return std::pow(10.0, db / 20.0); }
double FactorToDb(double factor) { return 20.0 * std::log10(factor); }

std::string Format(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

int CeilingDecimals(double ceiling) { return std::fabs(ceiling - std::round(ceiling)) < 1e-9 ? 0 : 1; }

std::string ReplayGainText(double gainDb) { return Format("%.2f dB", gainDb); }
std::string ReplayGainPeakText(double peak) { return Format("%.6f", peak); }

std::vector<std::pair<std::string, std::string>> ReplayGainTags(const ReplayGainValues& values) {
  std::vector<std::pair<std::string, std::string>> tags = {
      {"REPLAYGAIN_TRACK_GAIN", ReplayGainText(values.trackGain)},
      {"REPLAYGAIN_TRACK_PEAK", ReplayGainPeakText(values.trackPeak)},
  };
  if (values.albumGain) tags.emplace_back("REPLAYGAIN_ALBUM_GAIN", ReplayGainText(*values.albumGain));
  if (values.albumPeak) tags.emplace_back("REPLAYGAIN_ALBUM_PEAK", ReplayGainPeakText(*values.albumPeak));
  return tags;
}

namespace {

// The gain in dB that brings `meters` to `target` LUFS as measured with the gain applied. The
// gate lets in more blocks as the gain grows, so the gain is corrected until it holds.
double GainToTarget(const std::vector<const LoudnessMeter*>& meters, double loudness, double target) {
  constexpr int kRounds = 8;
  constexpr double kClose = 0.001;  // LU
  double gainDb = target - loudness;
  for (int round = 0; round < kRounds; ++round) {
    const std::optional<double> reached = LoudnessMeter::IntegratedWithGain(meters, gainDb);
    if (!reached || std::fabs(*reached - target) < kClose) break;
    gainDb += target - *reached;
  }
  return gainDb;
}

}  // namespace

LoudnessPlan PlanLoudness(const LoudnessChoice& choice, const LoudnessMeter& track,
                          const std::vector<const LoudnessMeter*>* album) {
  LoudnessPlan plan;
  const std::vector<const LoudnessMeter*> trackMeters{&track};
  const std::vector<const LoudnessMeter*>& programmeMeters = choice.album && album ? *album : trackMeters;
  const Loudness measured = track.Result();
  plan.note.nonFinite = measured.nonFinite;
  if (choice.mode == LoudnessMode::ReplayGain) {
    // The output carries the gain coefficient, which moves loudness and peak alike.
    const float coefficient = choice.gainCoefficient.value_or(0.0f);
    const double extraDb = coefficient > 0 ? FactorToDb(coefficient) : 0.0;
    const double extra = coefficient > 0 ? coefficient : 1.0;
    const std::optional<double> trackLoudness = LoudnessMeter::IntegratedWithGain(trackMeters, extraDb);
    if (!trackLoudness) {
      plan.note.kind = LoudnessNote::Kind::TooQuietForReplayGain;
      return plan;
    }
    ReplayGainValues values;
    values.trackGain = kReplayGainReference - *trackLoudness;
    values.trackPeak = measured.truePeak * extra;
    if (choice.album && album) {
      if (const auto albumLoudness = LoudnessMeter::IntegratedWithGain(*album, extraDb)) {
        values.albumGain = kReplayGainReference - *albumLoudness;
        values.albumPeak = LoudnessMeter::Together(*album).truePeak * extra;
      }
    }
    plan.note.kind = LoudnessNote::Kind::ReplayGain;
    plan.note.value = values.albumGain.value_or(values.trackGain);
    plan.replayGain = values;
    return plan;
  }
  if (choice.mode != LoudnessMode::Normalize) return plan;
  const Loudness programme = choice.album && album ? LoudnessMeter::Together(*album) : measured;
  if (!programme.integrated) {
    // Silence, or sound too short for the gate: nothing to bring anywhere.
    plan.gain = 1.0f;
    plan.note.kind = LoudnessNote::Kind::TooQuietToNormalise;
    return plan;
  }
  double gainDb = GainToTarget(programmeMeters, *programme.integrated, choice.target);
  bool held = false;
  if (programme.truePeak > 0 && programme.TruePeakDb() + gainDb > choice.ceiling) {
    gainDb = choice.ceiling - programme.TruePeakDb();
    held = true;
  }
  plan.gain = static_cast<float>(DbToFactor(gainDb));
  // The file's own result: in album mode each file moves by the album's gain.
  const std::optional<double> achieved = LoudnessMeter::IntegratedWithGain(trackMeters, gainDb);
  plan.note.kind = held ? LoudnessNote::Kind::HeldByCeiling : LoudnessNote::Kind::Reached;
  plan.note.value = achieved.value_or(*programme.integrated + gainDb);
  plan.note.ceiling = choice.ceiling;
  return plan;
}

}  // namespace velmora
