#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/converter_settings.h"

namespace velmora {

class SettingsStore;

// Mask bits of SaveSettings.
inline constexpr int kSaveFolderFlag = 4;   // the Folder value
inline constexpr int kSaveOptionsFlag = 8;  // every other value

// The longest text taken from the store; longer ones are cut.
inline constexpr std::size_t kMaxSettingsTextChars = 259;

// A stored number the program cannot use as it is, and the number used instead.
struct SettingsCorrection {
  std::string name;  // the stored value's name
  std::int32_t stored = 0;
  std::int32_t used = 0;
  bool operator==(const SettingsCorrection&) const = default;
};

// Overwrites the fields whose values are stored (absent or mistyped ones keep what the record
// holds), then brings numbers the program cannot use back into range, and pairs the MP3 bit
// rate with the MP3 sample rate as the MP3 options page pairs them, so that what is shown is
// what is encoded. Each correction is appended to `corrections` when given.
void LoadSettings(ConverterSettings& settings, SettingsStore& store,
                  std::vector<SettingsCorrection>* corrections = nullptr);

// Writes the values the mask selects. False only for a mask selecting nothing; store failures
// are silent, as a lost save is not worth interrupting the user for.
bool SaveSettings(const ConverterSettings& settings, SettingsStore& store, int mask);

}  // namespace velmora
