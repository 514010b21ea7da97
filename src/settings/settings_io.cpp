#include "settings/settings_io.h"

#include <algorithm>

#include "platform/settings_store.h"

namespace velmora {
namespace {

constexpr std::int32_t kDefaultWavChannels = 2;
constexpr std::int32_t kDefaultWavBits = 16;

// Cuts to at most kMaxSettingsTextChars characters, never inside a UTF-8 sequence.
std::string LimitText(const std::string& text) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    if (!continuation && ++chars > kMaxSettingsTextChars) return text.substr(0, i);
  }
  return text;
}

void Load(SettingsStore& store, const char* name, std::int32_t& field) {
  if (const auto value = store.ReadNumber(name)) field = *value;
}

void Load(SettingsStore& store, const char* name, std::string& field) {
  if (const auto value = store.ReadText(name)) field = LimitText(*value);
}

void Load(SettingsStore& store, const char* name, Id3TagRecord& field) {
  const auto value = store.ReadBytes(name);
  if (value && value->size() == Id3TagRecord::kBytes) std::copy(value->begin(), value->end(), field.bytes.begin());
}

bool IsMp3ChannelMode(std::int32_t mode) {
  return mode == kMp3ModeStereo || mode == kMp3ModeJointStereo || mode == kMp3ModeMono;
}

}  // namespace

void LoadSettings(ConverterSettings& settings, SettingsStore& store) {
  ConverterSettings& s = settings;
  Load(store, "Folder", s.Folder);
  Load(store, "DestOutputFolderOpt", s.DestOutputFolderOpt);
  Load(store, "DestSpecifiedFolder", s.DestSpecifiedFolder);
  Load(store, "CreateDirs", s.CreateDirs);
  Load(store, "BrowseOutputFolder", s.BrowseOutputFolder);
  Load(store, "AutoDestMP3EncodingParam", s.AutoDestMP3EncodingParam);
  Load(store, "MP3BitRate", s.MP3BitRate);
  Load(store, "MP3SampleRate", s.MP3SampleRate);
  Load(store, "MP3ChannelMode", s.MP3ChannelMode);
  if (!IsMp3ChannelMode(s.MP3ChannelMode)) s.MP3ChannelMode = kMp3ModeJointStereo;
  Load(store, "AutoDestWAVEncodingParam", s.AutoDestWAVEncodingParam);
  Load(store, "WAVBitsPerSample", s.WAVBitsPerSample);
  // The WAV writer only produces 8- and 16-bit samples; any other width would make a file
  // whose header lies about its data.
  if (s.WAVBitsPerSample != 8 && s.WAVBitsPerSample != 16) s.WAVBitsPerSample = kDefaultWavBits;
  Load(store, "WAVSampleRate", s.WAVSampleRate);
  Load(store, "WAVChannelNum", s.WAVChannelNum);
  if (s.WAVChannelNum != 1 && s.WAVChannelNum != 2) s.WAVChannelNum = kDefaultWavChannels;
  Load(store, "AddID3Tag", s.AddID3Tag);
  Load(store, "ID3Tag", s.ID3Tag);
  Load(store, "AmplifyMp3", s.AmplifyMp3);
  Load(store, "AmplifyMp3Coeff", s.AmplifyMp3Coeff);
  s.AmplifyMp3Coeff = std::clamp(s.AmplifyMp3Coeff, kMinGainPercent, kMaxGainPercent);
  Load(store, "AmplifyWav", s.AmplifyWav);
  Load(store, "AmplifyWavCoeff", s.AmplifyWavCoeff);
  s.AmplifyWavCoeff = std::clamp(s.AmplifyWavCoeff, kMinGainPercent, kMaxGainPercent);
}

bool SaveSettings(const ConverterSettings& settings, SettingsStore& store, int mask) {
  if ((mask & (kSaveFolderFlag | kSaveOptionsFlag)) == 0) return false;
  const ConverterSettings& s = settings;
  if (mask & kSaveFolderFlag) store.WriteText("Folder", s.Folder);
  if (mask & kSaveOptionsFlag) {
    store.WriteNumber("DestOutputFolderOpt", s.DestOutputFolderOpt);
    store.WriteText("DestSpecifiedFolder", s.DestSpecifiedFolder);
    store.WriteNumber("CreateDirs", s.CreateDirs);
    store.WriteNumber("BrowseOutputFolder", s.BrowseOutputFolder);
    store.WriteNumber("AutoDestMP3EncodingParam", s.AutoDestMP3EncodingParam);
    store.WriteNumber("MP3BitRate", s.MP3BitRate);
    store.WriteNumber("MP3SampleRate", s.MP3SampleRate);
    store.WriteNumber("MP3ChannelMode", s.MP3ChannelMode);
    store.WriteNumber("AutoDestWAVEncodingParam", s.AutoDestWAVEncodingParam);
    store.WriteNumber("WAVBitsPerSample", s.WAVBitsPerSample);
    store.WriteNumber("WAVSampleRate", s.WAVSampleRate);
    store.WriteNumber("WAVChannelNum", s.WAVChannelNum);
    store.WriteNumber("AddID3Tag", s.AddID3Tag);
    store.WriteBytes("ID3Tag", std::vector<std::uint8_t>(s.ID3Tag.bytes.begin(), s.ID3Tag.bytes.end()));
    store.WriteNumber("AmplifyMp3", s.AmplifyMp3);
    store.WriteNumber("AmplifyMp3Coeff", s.AmplifyMp3Coeff);
    store.WriteNumber("AmplifyWav", s.AmplifyWav);
    store.WriteNumber("AmplifyWavCoeff", s.AmplifyWavCoeff);
  }
  store.Sync();
  return true;
}

}  // namespace velmora
