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

// -1.0 as "-1", -0.5 as "-0.5": a ceiling as the user wrote it.
std::string CeilingText(double ceiling) {
  return std::fabs(ceiling - std::round(ceiling)) < 1e-9 ? Format("%.0f", ceiling) : Format("%.1f", ceiling);
}

}  // namespace

std::string LoudnessText(const LoudnessNote& note) {
  std::string lufs = Format("%.1f LUFS", note.value);
  switch (note.kind) {
    case LoudnessNote::Kind::None: return {};
    case LoudnessNote::Kind::Reached: return lufs;
    case LoudnessNote::Kind::HeldByCeiling: return lufs + ", held by the " + CeilingText(note.ceiling) + " dBTP ceiling";
    case LoudnessNote::Kind::ReplayGain: return "ReplayGain " + ReplayGainText(note.value);
    case LoudnessNote::Kind::TooQuietForReplayGain: return "too quiet to measure: no ReplayGain";
    case LoudnessNote::Kind::TooQuietToNormalise: return "too quiet to measure: left as it is";
  }
  return {};
}

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

LoudnessPlan PlanLoudness(const LoudnessChoice& choice, const Loudness& track, const Loudness* album) {
  LoudnessPlan plan;
  const Loudness& programme = choice.album && album ? *album : track;
  if (choice.mode == kLoudnessReplayGain) {
    // The output carries the gain coefficient, which moves loudness and peak alike.
    const double extraDb = choice.gainCoefficient > 0 ? FactorToDb(choice.gainCoefficient) : 0.0;
    const double extra = choice.gainCoefficient > 0 ? choice.gainCoefficient : 1.0;
    if (!track.integrated) {
      plan.note.kind = LoudnessNote::Kind::TooQuietForReplayGain;
      return plan;
    }
    ReplayGainValues values;
    values.trackGain = kReplayGainReference - (*track.integrated + extraDb);
    values.trackPeak = track.truePeak * extra;
    if (choice.album && album && album->integrated) {
      values.albumGain = kReplayGainReference - (*album->integrated + extraDb);
      values.albumPeak = album->truePeak * extra;
    }
    plan.note = {LoudnessNote::Kind::ReplayGain, values.albumGain.value_or(values.trackGain), 0};
    plan.replayGain = values;
    return plan;
  }
  if (choice.mode != kLoudnessNormalize) return plan;
  if (!programme.integrated) {
    // Silence, or sound too short for the gate: nothing to bring anywhere.
    plan.gain = 1.0f;
    plan.note.kind = LoudnessNote::Kind::TooQuietToNormalise;
    return plan;
  }
  double gainDb = choice.target - *programme.integrated;
  bool held = false;
  if (programme.truePeak > 0 && programme.TruePeakDb() + gainDb > choice.ceiling) {
    gainDb = choice.ceiling - programme.TruePeakDb();
    held = true;
  }
  plan.gain = static_cast<float>(DbToFactor(gainDb));
  // The file's own result: in album mode each file moves by the album's gain.
  const double achieved = track.integrated ? *track.integrated + gainDb : *programme.integrated + gainDb;
  plan.note = {held ? LoudnessNote::Kind::HeldByCeiling : LoudnessNote::Kind::Reached, achieved, choice.ceiling};
  return plan;
}

}  // namespace velmora
