#include "settings/settings_io.h"

#include <algorithm>

#include "platform/settings_store.h"
#include "settings/settings_keys.h"

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

// Replaces a stored value the program cannot use, and notes it.
class Corrector {
 public:
  explicit Corrector(std::vector<SettingsCorrection>* corrections) : m_corrections(corrections) {}
  void operator()(const char* name, std::int32_t& field, std::int32_t used) {
    if (field == used) return;
    if (m_corrections) m_corrections->push_back({name, field, used});
    field = used;
  }

 private:
  std::vector<SettingsCorrection>* m_corrections;
};

}  // namespace

void LoadSettings(ConverterSettings& settings, SettingsStore& store, std::vector<SettingsCorrection>* corrections) {
  ConverterSettings& s = settings;
  Corrector correct(corrections);
  Load(store, keys::kFolder, s.Folder);
  Load(store, keys::kDestOutputFolderOpt, s.DestOutputFolderOpt);
  Load(store, keys::kDestSpecifiedFolder, s.DestSpecifiedFolder);
  Load(store, keys::kCreateDirs, s.CreateDirs);
  Load(store, keys::kBrowseOutputFolder, s.BrowseOutputFolder);
  Load(store, keys::kAutoDestMP3EncodingParam, s.AutoDestMP3EncodingParam);
  Load(store, keys::kMP3BitRate, s.MP3BitRate);
  Load(store, keys::kMP3SampleRate, s.MP3SampleRate);
  // An MP3 stream has one of nine rates, and each rate carries only some bit rates; the
  // encoder would quietly substitute others.
  correct(keys::kMP3SampleRate, s.MP3SampleRate, NearestMp3SampleRate(s.MP3SampleRate));
  correct(keys::kMP3BitRate, s.MP3BitRate, Mp3BitRateForRate(s.MP3SampleRate, s.MP3BitRate));
  Load(store, keys::kMP3ChannelMode, s.MP3ChannelMode);
  if (!IsMp3ChannelMode(s.MP3ChannelMode)) correct(keys::kMP3ChannelMode, s.MP3ChannelMode, kMp3ModeJointStereo);
  Load(store, keys::kAutoDestWAVEncodingParam, s.AutoDestWAVEncodingParam);
  Load(store, keys::kWAVBitsPerSample, s.WAVBitsPerSample);
  // The WAV writer only produces 8- and 16-bit samples; any other width would make a file
  // whose header lies about its data.
  if (s.WAVBitsPerSample != 8 && s.WAVBitsPerSample != 16) correct(keys::kWAVBitsPerSample, s.WAVBitsPerSample, kDefaultWavBits);
  Load(store, keys::kWAVSampleRate, s.WAVSampleRate);
  Load(store, keys::kWAVChannelNum, s.WAVChannelNum);
  if (s.WAVChannelNum != 1 && s.WAVChannelNum != 2) correct(keys::kWAVChannelNum, s.WAVChannelNum, kDefaultWavChannels);
  Load(store, keys::kAddID3Tag, s.AddID3Tag);
  Load(store, keys::kID3Tag, s.ID3Tag);
  Load(store, keys::kAmplifyMp3, s.AmplifyMp3);
  Load(store, keys::kAmplifyMp3Coeff, s.AmplifyMp3Coeff);
  correct(keys::kAmplifyMp3Coeff, s.AmplifyMp3Coeff, std::clamp(s.AmplifyMp3Coeff, kMinGainPercent, kMaxGainPercent));
  Load(store, keys::kAmplifyWav, s.AmplifyWav);
  Load(store, keys::kAmplifyWavCoeff, s.AmplifyWavCoeff);
  correct(keys::kAmplifyWavCoeff, s.AmplifyWavCoeff, std::clamp(s.AmplifyWavCoeff, kMinGainPercent, kMaxGainPercent));
  Load(store, keys::kWAVLossless, s.WAVLossless);
  Load(store, keys::kMP3VbrQuality, s.MP3VbrQuality);
  if (s.MP3VbrQuality < kMp3ConstantBitRate || s.MP3VbrQuality > kMp3LowestVbrQuality) {
    correct(keys::kMP3VbrQuality, s.MP3VbrQuality, kMp3ConstantBitRate);
  }
  Load(store, keys::kMP3Gapless, s.MP3Gapless);
  Load(store, keys::kCopyTags, s.CopyTags);
  Load(store, keys::kOutputNamePattern, s.OutputNamePattern);
  Load(store, keys::kLoudnessMode, s.LoudnessMode);
  if (s.LoudnessMode < kLoudnessOff || s.LoudnessMode > kLoudnessNormalize) correct(keys::kLoudnessMode, s.LoudnessMode, kLoudnessOff);
  Load(store, keys::kLoudnessTarget, s.LoudnessTarget);
  if (s.LoudnessTarget < kMinLoudnessTarget || s.LoudnessTarget > kMaxLoudnessTarget) {
    correct(keys::kLoudnessTarget, s.LoudnessTarget, kDefaultLoudnessTarget);
  }
  Load(store, keys::kLoudnessAlbum, s.LoudnessAlbum);
  Load(store, keys::kLoudnessCeiling, s.LoudnessCeiling);
  if (s.LoudnessCeiling < kMinTruePeakCeilingTenths || s.LoudnessCeiling > kMaxTruePeakCeilingTenths) {
    correct(keys::kLoudnessCeiling, s.LoudnessCeiling, kDefaultTruePeakCeilingTenths);
  }
  Load(store, keys::kFlacLevel, s.FlacLevel);
  correct(keys::kFlacLevel, s.FlacLevel, std::clamp(s.FlacLevel, kMinFlacLevel, kMaxFlacLevel));
  Load(store, keys::kFlacKeepChunks, s.FlacKeepChunks);
  Load(store, keys::kOpusBitRate, s.OpusBitRate);
  if (s.OpusBitRate != kOpusBitRateAuto) {
    correct(keys::kOpusBitRate, s.OpusBitRate, std::clamp(s.OpusBitRate, kMinOpusBitRate, kMaxOpusBitRate));
  }
  Load(store, keys::kOpusVbr, s.OpusVbr);
  if (s.OpusVbr < kOpusVbrOn || s.OpusVbr > kOpusVbrOff) correct(keys::kOpusVbr, s.OpusVbr, kOpusVbrOn);
  Load(store, keys::kVerifyOutput, s.VerifyOutput);
  Load(store, keys::kCopyCompanions, s.CopyCompanions);
  if (s.CopyCompanions != 0 && s.CopyCompanions != 1) correct(keys::kCopyCompanions, s.CopyCompanions, 0);
}

bool SaveSettings(const ConverterSettings& settings, SettingsStore& store, int mask) {
  if ((mask & (kSaveFolderFlag | kSaveOptionsFlag)) == 0) return false;
  const ConverterSettings& s = settings;
  if (mask & kSaveFolderFlag) store.WriteText(keys::kFolder, s.Folder);
  if (mask & kSaveOptionsFlag) {
    store.WriteNumber(keys::kDestOutputFolderOpt, s.DestOutputFolderOpt);
    store.WriteText(keys::kDestSpecifiedFolder, s.DestSpecifiedFolder);
    store.WriteNumber(keys::kCreateDirs, s.CreateDirs);
    store.WriteNumber(keys::kBrowseOutputFolder, s.BrowseOutputFolder);
    store.WriteNumber(keys::kAutoDestMP3EncodingParam, s.AutoDestMP3EncodingParam);
    store.WriteNumber(keys::kMP3BitRate, s.MP3BitRate);
    store.WriteNumber(keys::kMP3SampleRate, s.MP3SampleRate);
    store.WriteNumber(keys::kMP3ChannelMode, s.MP3ChannelMode);
    store.WriteNumber(keys::kAutoDestWAVEncodingParam, s.AutoDestWAVEncodingParam);
    store.WriteNumber(keys::kWAVBitsPerSample, s.WAVBitsPerSample);
    store.WriteNumber(keys::kWAVSampleRate, s.WAVSampleRate);
    store.WriteNumber(keys::kWAVChannelNum, s.WAVChannelNum);
    store.WriteNumber(keys::kAddID3Tag, s.AddID3Tag);
    store.WriteBytes(keys::kID3Tag, std::vector<std::uint8_t>(s.ID3Tag.bytes.begin(), s.ID3Tag.bytes.end()));
    store.WriteNumber(keys::kAmplifyMp3, s.AmplifyMp3);
    store.WriteNumber(keys::kAmplifyMp3Coeff, s.AmplifyMp3Coeff);
    store.WriteNumber(keys::kAmplifyWav, s.AmplifyWav);
    store.WriteNumber(keys::kAmplifyWavCoeff, s.AmplifyWavCoeff);
    store.WriteNumber(keys::kWAVLossless, s.WAVLossless);
    store.WriteNumber(keys::kMP3VbrQuality, s.MP3VbrQuality);
    store.WriteNumber(keys::kMP3Gapless, s.MP3Gapless);
    store.WriteNumber(keys::kCopyTags, s.CopyTags);
    store.WriteText(keys::kOutputNamePattern, s.OutputNamePattern);
    store.WriteNumber(keys::kLoudnessMode, s.LoudnessMode);
    store.WriteNumber(keys::kLoudnessTarget, s.LoudnessTarget);
    store.WriteNumber(keys::kLoudnessAlbum, s.LoudnessAlbum);
    store.WriteNumber(keys::kLoudnessCeiling, s.LoudnessCeiling);
    store.WriteNumber(keys::kFlacLevel, s.FlacLevel);
    store.WriteNumber(keys::kFlacKeepChunks, s.FlacKeepChunks);
    store.WriteNumber(keys::kOpusBitRate, s.OpusBitRate);
    store.WriteNumber(keys::kOpusVbr, s.OpusVbr);
    store.WriteNumber(keys::kVerifyOutput, s.VerifyOutput);
    store.WriteNumber(keys::kCopyCompanions, s.CopyCompanions);
  }
  store.Sync();
  return true;
}

}  // namespace velmora
