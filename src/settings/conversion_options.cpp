#include "settings/conversion_options.h"

namespace velmora {
namespace {

constexpr float kPercent = 0.01f;

// No gain when it is off or exactly 100 %.
std::optional<float> Gain(std::int32_t enabled, std::int32_t percent) {
  if (!enabled || percent == kUnityGainPercent) return std::nullopt;
  return GainFactor(percent);
}

Mp3ChannelMode ChannelMode(std::int32_t stored) {
  if (stored == kMp3ModeJointStereo) return Mp3ChannelMode::JointStereo;
  if (stored == kMp3ModeMono) return Mp3ChannelMode::Mono;
  return Mp3ChannelMode::Stereo;  // as the encoder takes any other number
}

OpusVbr OpusControl(std::int32_t stored) {
  if (stored == kOpusVbrConstrained) return OpusVbr::Constrained;
  if (stored == kOpusVbrOff) return OpusVbr::Off;
  return OpusVbr::On;
}

LoudnessMode Loudness(std::int32_t stored) {
  if (stored == kLoudnessReplayGain) return LoudnessMode::ReplayGain;
  if (stored == kLoudnessNormalize) return LoudnessMode::Normalize;
  return LoudnessMode::Off;
}

}  // namespace

float GainFactor(int percent) { return static_cast<float>(percent) * kPercent; }

ConversionOptions OptionsFromSettings(const ConverterSettings& s) {
  ConversionOptions o;
  if (s.DestOutputFolderOpt == kOutputFolderSpecified && !s.DestSpecifiedFolder.empty()) {
    o.output.folder = s.DestSpecifiedFolder;
  }
  o.output.mirror = s.CreateDirs != 0;
  o.output.namePattern = s.OutputNamePattern;
  o.output.verify = s.VerifyOutput != 0;
  o.output.copyCompanions = s.CopyCompanions != 0;

  o.tags.copySourceTags = s.CopyTags != 0;
  o.tags.id3 = s.AddID3Tag != 0;
  o.tags.id3Texts = s.ID3Tag;

  if (!s.AutoDestMP3EncodingParam) o.mp3.fixed = Mp3Options::Explicit{s.MP3BitRate, s.MP3SampleRate, ChannelMode(s.MP3ChannelMode)};
  if (s.MP3VbrQuality >= 0) o.mp3.vbrQuality = s.MP3VbrQuality;
  o.mp3.gapless = s.MP3Gapless != 0;
  o.mp3.gain = Gain(s.AmplifyMp3, s.AmplifyMp3Coeff);

  if (s.WAVLossless) {
    o.wav.target.lossless = true;
  } else if (!s.AutoDestWAVEncodingParam) {
    o.wav.target = {s.WAVSampleRate, s.WAVChannelNum == 1 ? 1 : 2, s.WAVBitsPerSample == 8 ? 8 : 16, false};
  }
  o.wav.gain = Gain(s.AmplifyWav, s.AmplifyWavCoeff);

  o.flac.level = s.FlacLevel;
  o.flac.keepChunks = s.FlacKeepChunks != 0;
  if (s.OpusBitRate != kOpusBitRateAuto) o.opus.bitRate = s.OpusBitRate;
  o.opus.vbr = OpusControl(s.OpusVbr);

  o.loudness.mode = Loudness(s.LoudnessMode);
  o.loudness.target = s.LoudnessTarget;
  o.loudness.ceiling = s.LoudnessCeiling / 10.0;
  o.loudness.album = s.LoudnessAlbum != 0;
  return o;
}

}  // namespace velmora
