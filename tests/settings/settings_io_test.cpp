#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <tuple>
#include <variant>

#include "platform/settings_store.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Keeps values in memory with their kind, as the registry does, so mistyped values can be
// planted; records which names were written.
class MemoryStore : public SettingsStore {
 public:
  using Value = std::variant<std::int32_t, std::string, Bytes>;
  std::map<std::string, Value> values;

  std::optional<std::int32_t> ReadNumber(const std::string& name) override { return Get<std::int32_t>(name); }
  std::optional<std::string> ReadText(const std::string& name) override { return Get<std::string>(name); }
  std::optional<Bytes> ReadBytes(const std::string& name) override { return Get<Bytes>(name); }
  void WriteNumber(const std::string& name, std::int32_t value) override { values[name] = value; }
  void WriteText(const std::string& name, const std::string& value) override { values[name] = value; }
  void WriteBytes(const std::string& name, const Bytes& value) override { values[name] = value; }
  bool Sync() override { return true; }

 private:
  template <typename T>
  std::optional<T> Get(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<T>(it->second)) return std::nullopt;
    return std::get<T>(it->second);
  }
};

ConverterSettings LoadFrom(MemoryStore& store) {
  ConverterSettings settings;
  LoadSettings(settings, store);
  return settings;
}

// Every value differs from its default, so a field that is not saved or not loaded shows.
ConverterSettings NonDefaultSettings() {
  ConverterSettings s;
  s.Folder = "/home/ann/Music, old/";
  s.DestOutputFolderOpt = kOutputFolderSpecified;
  s.DestSpecifiedFolder = "/srv/out=put;x";
  s.CreateDirs = 1;
  s.BrowseOutputFolder = 0;
  s.AutoDestMP3EncodingParam = 0;
  s.MP3BitRate = 320;
  s.MP3SampleRate = 48000;
  s.MP3ChannelMode = kMp3ModeMono;
  s.AutoDestWAVEncodingParam = 0;
  s.WAVBitsPerSample = 8;
  s.WAVSampleRate = 22050;
  s.WAVChannelNum = 1;
  s.AddID3Tag = 1;
  s.ID3Tag.SetTitleFromFileName(false);
  s.ID3Tag.SetTitle("Title");
  s.ID3Tag.SetArtist("Artist");
  s.ID3Tag.SetYear("1999");
  s.ID3Tag.SetGenre(17);
  s.ID3Tag.bytes[141] = 0xAB;  // padding is carried along too
  s.ID3Tag.bytes[143] = 0x00;
  s.ID3Tag.bytes[142] = 0xFF;
  s.AmplifyMp3 = 1;
  s.AmplifyMp3Coeff = 250;
  s.AmplifyWav = 1;
  s.AmplifyWavCoeff = 40;
  s.WAVLossless = 1;
  s.MP3VbrQuality = 2;
  s.MP3Gapless = 1;
  s.CopyTags = 0;
  s.OutputNamePattern = "{artist}/{track:02} {title}";
  s.LoudnessMode = kLoudnessNormalize;
  s.LoudnessTarget = -23;
  s.LoudnessAlbum = 1;
  s.LoudnessCeiling = -15;
  s.FlacLevel = 8;
  s.FlacKeepChunks = 0;
  s.OpusBitRate = 96;
  s.OpusVbr = kOpusVbrConstrained;
  s.VerifyOutput = 1;
  s.CopyCompanions = 1;
  return s;
}

TEST(SettingsIoTest, NothingStoredGivesDefaults) {
  MemoryStore store;
  const ConverterSettings s = LoadFrom(store);
  EXPECT_EQ(s, ConverterSettings());
  EXPECT_EQ(s.DestOutputFolderOpt, 199);
  EXPECT_EQ(s.CreateDirs, 0);
  EXPECT_EQ(s.WAVBitsPerSample, 16);
  Bytes expectedTag(144, 0);
  expectedTag[0] = 1;     // title from the file name
  expectedTag[140] = 255;  // no genre
  EXPECT_EQ(Bytes(s.ID3Tag.bytes.begin(), s.ID3Tag.bytes.end()), expectedTag);
}

TEST(SettingsIoTest, LoadCorrectsUnusableNumbersOnly) {
  struct Case {
    const char* name;
    std::int32_t stored;
    std::int32_t loaded;
    std::int32_t ConverterSettings::*field;
  };
  const Case cases[] = {
      {"MP3ChannelMode", 2, 1, &ConverterSettings::MP3ChannelMode},
      {"MP3ChannelMode", -1, 1, &ConverterSettings::MP3ChannelMode},
      {"MP3ChannelMode", 3, 3, &ConverterSettings::MP3ChannelMode},
      {"WAVChannelNum", 0, 2, &ConverterSettings::WAVChannelNum},
      {"WAVChannelNum", 6, 2, &ConverterSettings::WAVChannelNum},
      {"WAVChannelNum", 1, 1, &ConverterSettings::WAVChannelNum},
      {"WAVBitsPerSample", 24, 16, &ConverterSettings::WAVBitsPerSample},
      {"WAVBitsPerSample", 8, 8, &ConverterSettings::WAVBitsPerSample},
      {"AmplifyWavCoeff", 5, 10, &ConverterSettings::AmplifyWavCoeff},
      {"AmplifyWavCoeff", 5000, 3000, &ConverterSettings::AmplifyWavCoeff},
      {"AmplifyWavCoeff", 10, 10, &ConverterSettings::AmplifyWavCoeff},
      {"AmplifyWavCoeff", 3000, 3000, &ConverterSettings::AmplifyWavCoeff},
      {"AmplifyMp3Coeff", -7, 10, &ConverterSettings::AmplifyMp3Coeff},
      {"AmplifyMp3Coeff", 3001, 3000, &ConverterSettings::AmplifyMp3Coeff},
      {"MP3BitRate", 999, 320, &ConverterSettings::MP3BitRate},
      {"LoudnessMode", 3, 0, &ConverterSettings::LoudnessMode},
      {"LoudnessMode", 2, 2, &ConverterSettings::LoudnessMode},
      {"LoudnessTarget", -4, -16, &ConverterSettings::LoudnessTarget},
      {"LoudnessTarget", -41, -16, &ConverterSettings::LoudnessTarget},
      {"LoudnessTarget", -40, -40, &ConverterSettings::LoudnessTarget},
      {"LoudnessCeiling", 1, -10, &ConverterSettings::LoudnessCeiling},
      {"LoudnessCeiling", -201, -10, &ConverterSettings::LoudnessCeiling},
      {"LoudnessCeiling", 0, 0, &ConverterSettings::LoudnessCeiling},
      {"FlacLevel", 9, 8, &ConverterSettings::FlacLevel},
      {"FlacLevel", -1, 0, &ConverterSettings::FlacLevel},
      {"OpusBitRate", 0, 0, &ConverterSettings::OpusBitRate},  // by channel count
      {"OpusBitRate", 5, 6, &ConverterSettings::OpusBitRate},
      {"OpusBitRate", 513, 512, &ConverterSettings::OpusBitRate},
      {"OpusVbr", 3, 0, &ConverterSettings::OpusVbr},
      {"CopyCompanions", 2, 0, &ConverterSettings::CopyCompanions},  // copies nothing not asked for
      {"CopyCompanions", 1, 1, &ConverterSettings::CopyCompanions},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    store.values[c.name] = c.stored;
    EXPECT_EQ(LoadFrom(store).*c.field, c.loaded) << c.name << " stored as " << c.stored;
  }
}

// A pair the encoder would quietly change is loaded as the MP3 options page pairs it, so the
// page, the window and the command line all encode what they show; every change is reported.
TEST(SettingsIoTest, LoadPairsTheMp3BitRateWithTheSampleRate) {
  struct Case {
    std::int32_t kbps, hz;
    std::int32_t loadedKbps, loadedHz;
    std::vector<SettingsCorrection> corrections;
  };
  const Case cases[] = {
      {8, 44100, 32, 44100, {{"MP3BitRate", 8, 32}}},
      {144, 48000, 128, 48000, {{"MP3BitRate", 144, 128}}},
      {320, 8000, 64, 8000, {{"MP3BitRate", 320, 64}}},
      {100, 22050, 96, 22050, {{"MP3BitRate", 100, 96}}},
      {8, 44101, 32, 44100, {{"MP3SampleRate", 44101, 44100}, {"MP3BitRate", 8, 32}}},
      {160, 24000, 160, 24000, {}},
      {8, 8000, 8, 8000, {}},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    store.values["MP3BitRate"] = c.kbps;
    store.values["MP3SampleRate"] = c.hz;
    ConverterSettings s;
    std::vector<SettingsCorrection> corrections;
    LoadSettings(s, store, &corrections);
    EXPECT_EQ(std::tie(s.MP3BitRate, s.MP3SampleRate), std::tie(c.loadedKbps, c.loadedHz)) << c.kbps << " at " << c.hz;
    EXPECT_EQ(corrections, c.corrections) << c.kbps << " at " << c.hz;
  }
}

TEST(SettingsIoTest, MistypedOddSizedAndOverlongValues) {
  MemoryStore store;
  store.values["MP3BitRate"] = std::string("320");
  store.values["Folder"] = std::int32_t{5};
  store.values["ID3Tag"] = Bytes(143, 7);
  store.values["DestSpecifiedFolder"] = std::string(300, 'x');
  ConverterSettings s = LoadFrom(store);
  EXPECT_EQ(s.MP3BitRate, 128);
  EXPECT_EQ(s.Folder, "");
  EXPECT_EQ(s.ID3Tag, Id3TagRecord());
  EXPECT_EQ(s.DestSpecifiedFolder, std::string(kMaxSettingsTextChars, 'x'));

  store.values["ID3Tag"] = Bytes(145, 7);
  EXPECT_EQ(LoadFrom(store).ID3Tag, Id3TagRecord());

  // Characters, not bytes, are counted, and a multi-byte character is never split.
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";
  store.values["Folder"] = accented;
  EXPECT_EQ(LoadFrom(store).Folder, accented.substr(0, 2 * kMaxSettingsTextChars));
  store.values["Folder"] = "a" + accented;
  EXPECT_EQ(LoadFrom(store).Folder, "a" + accented.substr(0, 2 * (kMaxSettingsTextChars - 1)));
}

TEST(SettingsIoTest, MaskSelectsWhatIsWritten) {
  const ConverterSettings s = NonDefaultSettings();
  const auto namesWritten = [&](int mask, bool expectedResult) {
    MemoryStore store;
    EXPECT_EQ(SaveSettings(s, store, mask), expectedResult) << "mask " << mask;
    return store.values;
  };
  EXPECT_TRUE(namesWritten(0, false).empty());

  const auto folderOnly = namesWritten(kSaveFolderFlag, true);
  ASSERT_EQ(folderOnly.size(), 1u);
  EXPECT_EQ(std::get<std::string>(folderOnly.at("Folder")), s.Folder);

  const auto options = namesWritten(kSaveOptionsFlag, true);
  EXPECT_EQ(options.size(), 33u);
  EXPECT_EQ(options.count("Folder"), 0u);

  const auto both = namesWritten(kSaveFolderFlag | kSaveOptionsFlag, true);
  EXPECT_EQ(both.size(), 34u);
  MemoryStore reloaded;
  reloaded.values = both;
  EXPECT_EQ(LoadFrom(reloaded), s);
}

// Through a real settings file: every field survives a save and a load by a new store.
TEST(SettingsIoTest, FileRoundTripKeepsEveryFieldAndTagByte) {
  test::TempDir dir;
  const std::string file = dir.File("Velmora.conf");
  const ConverterSettings saved = NonDefaultSettings();
  {
    QtSettingsStore store(file);
    ASSERT_TRUE(SaveSettings(saved, store, kSaveFolderFlag | kSaveOptionsFlag));
  }
  QtSettingsStore store(file);
  ConverterSettings loaded;
  LoadSettings(loaded, store);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(loaded.ID3Tag.bytes, saved.ID3Tag.bytes);
}

TEST(SettingsIoTest, FileWithForeignValuesLoadsWhatFits) {
  test::TempDir dir;
  const std::string file = dir.File("Velmora.conf");
  std::ofstream(file) << "[Options]\n"
                         "MP3BitRate=loud\n"
                         "MP3SampleRate=32000\n"
                         "WAVSampleRate=99999999999\n"
                         "ID3Tag=@ByteArray(short)\n"
                         "Folder=@ByteArray(/x/)\n"
                         "DestSpecifiedFolder=a, b\n"
                         "[Other]\n"
                         "AmplifyWavCoeff=50\n";
  QtSettingsStore store(file);
  ConverterSettings s;
  LoadSettings(s, store);
  EXPECT_EQ(s.MP3BitRate, 128);
  EXPECT_EQ(s.MP3SampleRate, 32000);
  EXPECT_EQ(s.WAVSampleRate, 44100);
  EXPECT_EQ(s.ID3Tag, Id3TagRecord());
  EXPECT_EQ(s.Folder, "");
  EXPECT_EQ(s.DestSpecifiedFolder, "");  // a list, not a text
  EXPECT_EQ(s.AmplifyWavCoeff, 100);     // other groups are not ours
}

}  // namespace
}  // namespace velmora
