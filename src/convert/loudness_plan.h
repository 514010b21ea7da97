#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/file_outcome.h"
#include "convert/loudness_meter.h"
#include "settings/conversion_options.h"

namespace velmora {

// The ReplayGain 2.0 values of one output: gains to the reference loudness in dB, peaks as
// linear true peaks (1.0 = full scale). The album pair is there in album mode.
struct ReplayGainValues {
  double trackGain = 0;
  double trackPeak = 0;
  std::optional<double> albumGain;
  std::optional<double> albumPeak;
};

// What one file's conversion does about loudness, decided from the measuring pass.
struct LoudnessPlan {
  std::optional<float> gain;                   // normalisation's factor, in place of the gain coefficient
  std::optional<ReplayGainValues> replayGain;  // tags to write
  LoudnessNote note;                           // for the file's line: "-14.0 LUFS", ...

  // Whether the plan normalises to a target under a true-peak ceiling (note.ceiling).
  bool Normalises() const {
    return gain && (note.kind == LoudnessNote::Kind::Reached || note.kind == LoudnessNote::Kind::HeldByCeiling);
  }
};

// The loudness choices for one run.
struct LoudnessChoice {
  LoudnessMode mode = LoudnessMode::Off;
  double target = -16;  // LUFS
  double ceiling = -1;  // dBTP
  bool album = false;
  std::optional<float> gainCoefficient;  // the gain the output gets besides (ReplayGain mode)
};

// The plan for a file measured as `track` (the sound the conversion hands to its writer,
// before any gain) and, in album mode, its album's files as `album`. Normalisation brings the
// track (or the album, the same gain for each of its files) to the target, lowered where the
// true peak would pass the ceiling. ReplayGain leaves the sound alone and describes it, the
// gain coefficient included. Loudness is told as the output will measure: a gain moves quiet
// blocks across the -70 LUFS gate, so the gain is found by measuring with it applied.
LoudnessPlan PlanLoudness(const LoudnessChoice& choice, const LoudnessMeter& track,
                          const std::vector<const LoudnessMeter*>* album);

// The decimals a ceiling is shown with, as the user wrote it: none for a whole number of dB
// ("-1"), one otherwise ("-0.5").
int CeilingDecimals(double ceiling);

// "-6.54 dB" and "0.988235", as players read REPLAYGAIN_* tags.
std::string ReplayGainText(double gainDb);
std::string ReplayGainPeakText(double peak);

// The tag names and texts of the values, track pair first.
std::vector<std::pair<std::string, std::string>> ReplayGainTags(const ReplayGainValues& values);

}  // namespace velmora
