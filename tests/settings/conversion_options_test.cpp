#include "settings/conversion_options.h"

#include <gtest/gtest.h>

#include <functional>

namespace velmora {
namespace {

// Each stored value the engine used to decode where it read it, decoded once: a stored record
// that the window or an older version left half-filled must convert as it always did.
TEST(ConversionOptionsTest, DecodesEveryStoredRuleOnce) {
  struct Case {
    const char* what;
    std::function<void(ConverterSettings&)> store;
    std::function<bool(const ConversionOptions&)> holds;
  };
  const Case cases[] = {
      {"a specified folder left empty writes next to the source",
       [](ConverterSettings& s) { s.DestOutputFolderOpt = kOutputFolderSpecified; },
       [](const ConversionOptions& o) { return !o.output.folder; }},
      {"a folder kept while 'next to the source' is chosen is not used",
       [](ConverterSettings& s) { s.DestSpecifiedFolder = "/out"; },
       [](const ConversionOptions& o) { return !o.output.folder; }},
      {"a specified folder is used, mirrored when asked",
       [](ConverterSettings& s) {
         s.DestOutputFolderOpt = kOutputFolderSpecified;
         s.DestSpecifiedFolder = "/out";
         s.CreateDirs = 1;
       },
       [](const ConversionOptions& o) { return o.output.folder == "/out" && o.output.mirror; }},
      {"a gain of exactly 100 % is no gain",
       [](ConverterSettings& s) { s.AmplifyMp3 = s.AmplifyWav = 1; },
       [](const ConversionOptions& o) { return !o.mp3.gain && !o.wav.gain; }},
      {"a coefficient with the gain off is no gain",
       [](ConverterSettings& s) { s.AmplifyWavCoeff = 200; },
       [](const ConversionOptions& o) { return !o.wav.gain; }},
      {"each format has its own gain",
       [](ConverterSettings& s) {
         s.AmplifyMp3 = 1;
         s.AmplifyMp3Coeff = 10;
       },
       [](const ConversionOptions& o) { return o.mp3.gain == GainFactor(10) && !o.wav.gain; }},
      {"automatic WAV parameters follow the source",
       [](ConverterSettings& s) { s.WAVBitsPerSample = 8; },
       [](const ConversionOptions& o) { return !o.wav.target.bits && !o.wav.target.sampleRate && !o.wav.target.lossless; }},
      {"explicit WAV parameters, an odd channel count taken as stereo",
       [](ConverterSettings& s) {
         s.AutoDestWAVEncodingParam = 0;
         s.WAVSampleRate = 22050;
         s.WAVChannelNum = 5;
         s.WAVBitsPerSample = 8;
       },
       [](const ConversionOptions& o) {
         return o.wav.target.sampleRate == 22050 && o.wav.target.channels == 2 && o.wav.target.bits == 8;
       }},
      {"lossless wins over explicit WAV parameters",
       [](ConverterSettings& s) {
         s.AutoDestWAVEncodingParam = 0;
         s.WAVLossless = 1;
       },
       [](const ConversionOptions& o) { return o.wav.target.lossless && !o.wav.target.sampleRate; }},
      {"automatic MP3 parameters keep the quality level and the information frame",
       [](ConverterSettings& s) {
         s.MP3VbrQuality = 0;
         s.MP3Gapless = 1;
       },
       [](const ConversionOptions& o) { return !o.mp3.fixed && o.mp3.vbrQuality == 0 && o.mp3.gapless; }},
      {"an unknown channel mode is stereo, as the encoder takes it",
       [](ConverterSettings& s) {
         s.AutoDestMP3EncodingParam = 0;
         s.MP3ChannelMode = 2;
         s.MP3BitRate = 64;
       },
       [](const ConversionOptions& o) {
         return o.mp3.fixed && o.mp3.fixed->channels == Mp3ChannelMode::Stereo && o.mp3.fixed->bitRate == 64 &&
                !o.mp3.vbrQuality;
       }},
      {"the ceiling is stored in tenths of a dBTP",
       [](ConverterSettings& s) {
         s.LoudnessMode = kLoudnessNormalize;
         s.LoudnessCeiling = -15;
         s.LoudnessTarget = -23;
       },
       [](const ConversionOptions& o) {
         return o.loudness.mode == LoudnessMode::Normalize && o.loudness.ceiling == -1.5 && o.loudness.target == -23;
       }},
      {"an unknown loudness mode is off",
       [](ConverterSettings& s) { s.LoudnessMode = 7; },
       [](const ConversionOptions& o) { return o.loudness.mode == LoudnessMode::Off; }},
      {"copying tags can be off while the ID3 texts still apply",
       [](ConverterSettings& s) {
         s.CopyTags = 0;
         s.AddID3Tag = 1;
         s.ID3Tag.SetArtist("Ana");
       },
       [](const ConversionOptions& o) { return !o.tags.copySourceTags && o.tags.id3 && o.tags.id3Texts.Artist() == "Ana"; }},
  };
  for (const Case& c : cases) {
    ConverterSettings settings;
    c.store(settings);
    EXPECT_TRUE(c.holds(OptionsFromSettings(settings))) << c.what;
  }
}

}  // namespace
}  // namespace velmora
