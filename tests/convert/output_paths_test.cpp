#include "convert/output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cli/outcome_text.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using cli::ReasonText;

const std::vector<std::uint8_t> kKeep = {'k', 'e', 'e', 'p'};

class OutputPathsTest : public ::testing::Test {
 protected:
  // Fallback folders live in the test's folder, never in the real documents folder.
  OutputPathsTest() : m_folders{m_dir.File("docs"), m_dir.File("program"), true} {}

  // Runs MakeOutputPath and returns the reserved path ("" on failure, with m_error filled).
  // The name is held, not yet taken: the output is written under a temporary name beside it.
  std::string Make(const std::string& source, OutputFormat format = OutputFormat::Wav,
                   const SourceTags* tags = nullptr) {
    OutputTarget target;
    FileOutcome failure;
    m_error.clear();
    if (!MakeOutputPath(source, format, OptionsFromSettings(m_settings).output, m_folders, target, m_created, failure, 0, tags)) {
      m_error = ReasonText(failure);
      return "";
    }
    EXPECT_TRUE(target.File().IsOpen());
    EXPECT_FALSE(fs::exists(target.Path())) << target.Path();
    EXPECT_EQ(FolderPart(target.File().TemporaryPath()), FolderPart(target.Path()));
    std::string path = target.Path();
    m_targets.push_back(std::move(target));
    return path;
  }

  void SpecifyFolder(const std::string& folder, bool mirror) {
    m_settings.DestOutputFolderOpt = kOutputFolderSpecified;
    m_settings.DestSpecifiedFolder = folder;
    m_settings.CreateDirs = mirror ? 1 : 0;
  }

  TempDir m_dir;
  ConverterSettings m_settings;
  OutputFolders m_folders;
  std::vector<OutputTarget> m_targets;
  std::vector<std::string> m_created;
  std::string m_error;
};

TEST(OutputStemTest, RemovesOnlyTheExtension) {
  EXPECT_EQ(OutputStem("track.aiff"), "track");
  EXPECT_EQ(OutputStem("track.aif"), "track");
  EXPECT_EQ(OutputStem("live.2001.AIFC"), "live.2001");
  EXPECT_EQ(OutputStem("track"), "track");
  EXPECT_EQ(OutputStem("track."), "track");
  EXPECT_EQ(OutputStem(".aiff"), ".aiff");
  EXPECT_EQ(OutputStem("/music.d/track"), "/music.d/track");
  EXPECT_EQ(OutputStem("/music/track.afc"), "/music/track");
}

TEST_F(OutputPathsTest, NextToSourceWithNumberingForSameStems) {
  const std::string a = m_dir.File("a.aif");
  EXPECT_EQ(Make(a), m_dir.File("a.wav"));
  EXPECT_EQ(Make(m_dir.File("a.aiff")), m_dir.File("a_1.wav"));
  EXPECT_EQ(Make(m_dir.File("a.aifc"), OutputFormat::Mp3), m_dir.File("a.mp3"));
  EXPECT_EQ(Make(m_dir.File("track")), m_dir.File("track.wav"));

  // The writer gets the open file: what it writes takes the chosen name when published.
  OutputTarget& target = m_targets.front();
  ASSERT_TRUE(target.File().Write(kKeep.data(), kKeep.size()));
  ASSERT_TRUE(target.File().Close());
  int error = 0;
  ASSERT_TRUE(target.Publish(error));
  EXPECT_EQ(ReadFileBytes(m_dir.File("a.wav")), kKeep);
  EXPECT_EQ(target.Path(), m_dir.File("a.wav"));
}

TEST_F(OutputPathsTest, NeverReplacesWhatAlreadyHasTheName) {
  m_dir.Write("song.wav", kKeep);
  m_dir.Write("song_1.wav", kKeep);
  EXPECT_EQ(Make(m_dir.File("song.aiff")), m_dir.File("song_2.wav"));
  EXPECT_EQ(ReadFileBytes(m_dir.File("song.wav")), kKeep);

  // A name that was free when reserved and taken by another program before publishing.
  EXPECT_EQ(Make(m_dir.File("late.aif")), m_dir.File("late.wav"));
  m_dir.Write("late.wav", kKeep);
  OutputTarget& target = m_targets.back();
  ASSERT_TRUE(target.File().Close());
  int error = 0;
  ASSERT_TRUE(target.Publish(error));
  EXPECT_EQ(target.Path(), m_dir.File("late_1.wav"));
  EXPECT_EQ(ReadFileBytes(m_dir.File("late.wav")), kKeep);

  // A dangling link would lead the new file somewhere else, and a folder is no free name.
  fs::create_symlink(m_dir.File("elsewhere.wav"), m_dir.File("linked.wav"));
  fs::create_directory(m_dir.File("linked_1.wav"));
  EXPECT_EQ(Make(m_dir.File("linked.aif")), m_dir.File("linked_2.wav"));
  EXPECT_FALSE(fs::exists(m_dir.File("elsewhere.wav")));

  // A stem that only fits without "_1" is shortened to fit with it, by whole UTF-8 characters
  // (the two bytes of "é" straddle the cut). The temporary name of the one that fits is
  // shortened to the folder's limit as well.
  const std::size_t limit = MaxFileNameBytes(m_dir.path().string());
  const std::string longStem = std::string(limit - 7, 'x') + "\xC3\xA9y";  // ".wav" just fits
  m_folders.fallBack = false;
  EXPECT_EQ(Make(m_dir.File(longStem + ".aif")), m_dir.File(longStem + ".wav"));
  EXPECT_EQ(Make(m_dir.File(longStem + ".aiff")), m_dir.File(std::string(limit - 7, 'x') + "_1.wav"));
  EXPECT_EQ(OutputName(m_dir.File(longStem), OutputFormat::Wav, 12), m_dir.File(std::string(limit - 7, 'x') + "_12.wav"));

  // A NUL would cut every system call's name short: such a name is refused, nothing is made.
  EXPECT_EQ(Make(m_dir.File(std::string("list.aiff\0b.aiff", 16))), "");
  EXPECT_EQ(m_error, "cannot create output file: Invalid argument");
  EXPECT_FALSE(fs::exists(m_dir.File("list.aiff")));
}

TEST_F(OutputPathsTest, SpecifiedFolderIsUsedWhenItCanBeMade) {
  const std::string source = m_dir.File("in/track.aiff");
  SpecifyFolder(m_dir.File("out/new"), false);
  EXPECT_EQ(Make(source, OutputFormat::Mp3), m_dir.File("out/new/track.mp3"));

  SpecifyFolder(m_dir.File("out/new/"), false);  // a trailing separator is not doubled
  EXPECT_EQ(Make(source, OutputFormat::Mp3), m_dir.File("out/new/track_1.mp3"));

  // Empty, unmakeable, or not selected: next to the source.
  fs::create_directories(m_dir.File("in"));
  SpecifyFolder("", false);
  EXPECT_EQ(Make(source), m_dir.File("in/track.wav"));
  m_dir.Write("plain", kKeep);
  SpecifyFolder(m_dir.File("plain/out"), false);
  EXPECT_EQ(Make(source), m_dir.File("in/track_1.wav"));
  SpecifyFolder(m_dir.File("out/new"), true);
  m_settings.DestOutputFolderOpt = kOutputFolderSameAsSource;
  EXPECT_EQ(Make(source), m_dir.File("in/track_2.wav"));
}

TEST_F(OutputPathsTest, MirrorRecreatesTheSourceFolderPath) {
  const std::string out = m_dir.File("out");
  const std::string source = m_dir.File("Music/pop/track.aiff");
  SpecifyFolder(out, true);
  EXPECT_EQ(Make(source, OutputFormat::Mp3), out + m_dir.File("Music/pop/track.mp3"));

  // A relative source is mirrored by its absolute path.
  const fs::path previous = fs::current_path();
  fs::current_path(m_dir.path());
  const std::string relative = Make("Music/pop/track.aiff", OutputFormat::Mp3);
  fs::current_path(previous);
  EXPECT_EQ(relative, out + m_dir.File("Music/pop/track_1.mp3"));
}

// A name pattern's folders go below the output folder, or below the source's folder when there
// is none; the same name from two sources is numbered, and an existing file is never replaced.
TEST_F(OutputPathsTest, NamePatternMakesSubfoldersAndNumbersCollisions) {
  SourceTags tags;
  tags.artist = "Ann";
  tags.title = "Song";
  m_settings.OutputNamePattern = "{artist}/{title}";
  EXPECT_EQ(Make(m_dir.File("a/one.aiff"), OutputFormat::Wav, &tags), m_dir.File("a/Ann/Song.wav"));
  m_dir.Write("out/Ann/Song.wav", kKeep);
  SpecifyFolder(m_dir.File("out"), false);
  EXPECT_EQ(Make(m_dir.File("a/one.aiff"), OutputFormat::Wav, &tags), m_dir.File("out/Ann/Song_1.wav"));
  EXPECT_EQ(Make(m_dir.File("b/two.aiff"), OutputFormat::Wav, &tags), m_dir.File("out/Ann/Song_2.wav"));
  EXPECT_EQ(ReadFileBytes(m_dir.File("out/Ann/Song.wav")), kKeep);
  // Below a mirrored source folder too, and with no tags every source keeps its own place.
  SpecifyFolder(m_dir.File("out"), true);
  EXPECT_EQ(Make(m_dir.File("a/one.aiff")), m_dir.File("out") + m_dir.File("a/Unknown Artist/one.wav"));
  // A folder of the pattern that cannot be made fails the file, naming the folder.
  SpecifyFolder(m_dir.File("out"), false);
  m_dir.Write("out/Unknown Artist", kKeep);
  EXPECT_EQ(Make(m_dir.File("a/one.aiff")), "");
  EXPECT_NE(m_error.find("cannot create folder \"" + m_dir.File("out/Unknown Artist/") + "\""), std::string::npos)
      << m_error;
}

TEST_F(OutputPathsTest, MirrorFolderThatCannotBeMadeFails) {
  const std::string out = m_dir.File("out");
  const std::string source = m_dir.File("Music/track.aiff");
  // The mirror starts with the source's top folder ("tmp" or the like); a file of that name
  // below the output folder is in its way.
  const std::string top = fs::path(source).relative_path().begin()->string();
  m_dir.Write("out/" + top, kKeep);
  SpecifyFolder(out, true);
  EXPECT_EQ(Make(source), "");
  EXPECT_EQ(m_error, "cannot create folder \"" + out + m_dir.File("Music/") + "\": Not a directory");
  EXPECT_FALSE(fs::exists(m_folders.documents.value()));
}

TEST_F(OutputPathsTest, UnwritableFolderFallsBackToDocumentsThenProgram) {
  // A folder below a regular file takes no new file, whoever runs the test.
  m_dir.Write("blocked", kKeep);
  const std::string source = m_dir.File("blocked/track.aiff");
  EXPECT_EQ(Make(source), m_dir.File("docs/Velmora_Files/track.wav"));
  EXPECT_EQ(Make(source), m_dir.File("docs/Velmora_Files/track_1.wav"));

  m_dir.Write("docs-file", kKeep);
  m_folders.documents = m_dir.File("docs-file");
  EXPECT_EQ(Make(source, OutputFormat::Mp3), m_dir.File("program/Velmora_Files/track.mp3"));

  m_folders.program = m_dir.File("docs-file/program");
  EXPECT_EQ(Make(source), "");
  EXPECT_EQ(m_error, "cannot create output file: Not a directory");
  m_folders = {m_dir.File("docs"), m_dir.File("program"), false};
  EXPECT_EQ(Make(source), "");  // the command line never falls back
}

TEST_F(OutputPathsTest, ReadOnlySourceFolderFallsBackToDocuments) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  fs::create_directories(m_dir.File("readonly"));
  m_dir.Write("readonly/track.wav", kKeep);
  ASSERT_EQ(::chmod(m_dir.File("readonly").c_str(), 0555), 0);
  EXPECT_EQ(Make(m_dir.File("readonly/track.aiff")), m_dir.File("docs/Velmora_Files/track.wav"));
}

}  // namespace
}  // namespace velmora
