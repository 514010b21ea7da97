#pragma once

#include "settings/converter_settings.h"

namespace velmora {

class SettingsStore;

// Mask bits of SaveSettings.
inline constexpr int kSaveFolderFlag = 4;   // the Folder value
inline constexpr int kSaveOptionsFlag = 8;  // every other value

// The longest text taken from the store; longer ones are cut.
inline constexpr std::size_t kMaxSettingsTextChars = 259;

// Overwrites the fields whose values are stored (absent or mistyped ones keep what the record
// holds), then brings numbers the program cannot use back into range.
void LoadSettings(ConverterSettings& settings, SettingsStore& store);

// Writes the values the mask selects. False only for a mask selecting nothing; store failures
// are silent, as a lost save is not worth interrupting the user for.
bool SaveSettings(const ConverterSettings& settings, SettingsStore& store, int mask);

}  // namespace velmora
