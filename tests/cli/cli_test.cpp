// The command line end to end: the real binary, real files, its stdout, stderr and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/wavfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "support/aiff_builder.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::AiffBuilder;
using test::Bytes;

struct CliRun {
  int status = -1;
  std::string out;  // stdout
  std::string err;  // stderr
};

class CliTest : public ::testing::Test {
 protected:
  // Each test has its own home, so saved settings and the documents folder are its own.
  // With `memoryKb`, the program runs with that much address space at most (ulimit -v).
  CliRun Cli(const std::string& arguments, const std::string& input = "/dev/null", int memoryKb = 0) {
    CliRun run;
    const std::string err = m_dir.File("stderr.txt");
    const std::string limit = memoryKb > 0 ? "ulimit -v " + std::to_string(memoryKb) + " && " : "";
    run.status = test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && " + limit + Environment() + " timeout 60 " +
                                      test::ShellQuote(VELMORA_CLI_PATH) + " " + arguments + " <" + input + " 2>" +
                                      test::ShellQuote(err),
                                  &run.out);
    const Bytes bytes = test::ReadFileBytes(err);
    run.err.assign(bytes.begin(), bytes.end());
    fs::remove(err);
    return run;
  }
  std::string Environment() {
    const std::string home = m_dir.File("home");
    fs::create_directories(home);
    return "env HOME=" + test::ShellQuote(home) + " XDG_CONFIG_HOME=" + test::ShellQuote(home + "/.config");
  }
  // Every name below the test's folder but the home folder, sorted.
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir.path())) {
      const std::string name = fs::relative(entry.path(), m_dir.path()).string();
      if (!name.starts_with("home")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string WriteAiff(const std::string& name, int frames = 1000) {
    return m_dir.Write(name, test::StereoStepAiff(frames));
  }

  test::TempDir m_dir;
};

TEST_F(CliTest, InfoDescribesGoodFilesAndNamesTheReasonForBadOnes) {
  WriteAiff("good.aiff", 44100);
  m_dir.Write("bad.aiff", {'n', 'o', 't', ' ', 'a', 'i', 'f', 'f', ' ', 'a', 't', ' ', 'a', 'l', 'l', '!', '!', '!', '!', '!'});
  AiffBuilder fiveChannels;
  fiveChannels.channels = 5;
  m_dir.Write("five.aiff", fiveChannels.Build());
  AiffBuilder huge;  // 2^31 frames or more are counted unsigned
  huge.frames = 0xC0000000u;
  m_dir.Write("huge.aiff", huge.Build());
  ASSERT_EQ(::mkfifo(m_dir.File("pipe.aiff").c_str(), 0644), 0);  // must not wait for a writer
  fs::create_directories(m_dir.File("empty"));
  const CliRun run = Cli("info good.aiff bad.aiff five.aiff huge.aiff pipe.aiff /dev/zero empty");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "good.aiff: 2 channel(s), 44100 Hz, 44100 frames, 0:01, 16 bits, compression 'NONE'\n"
            "huge.aiff: 1 channel(s), 44100 Hz, 3221225472 frames, 1217:23, 16 bits, compression 'NONE'\n");
  EXPECT_EQ(run.err,
            "velmora-cli: no AIFF files in empty\n"
            "bad.aiff: not AIFF\n"
            "five.aiff: unsupported channel count 5\n"
            "pipe.aiff: not a regular file\n"
            "/dev/zero: not a regular file\n");
}

TEST_F(CliTest, ConvertNamesOutputsWithoutReplacingAnything) {
  WriteAiff("a.aif");
  WriteAiff("a.aiff");
  WriteAiff("track");  // no extension: the whole name is the stem
  m_dir.Write("keep.wav", {'m', 'i', 'n', 'e'});
  WriteAiff("keep.aiff");
  const CliRun run = Cli("convert -q -f wav a.aif a.aiff track keep.aiff");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(fs::exists(m_dir.File("a.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("a_1.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("track.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("keep_1.wav")));
  EXPECT_EQ(test::ReadFileBytes(m_dir.File("keep.wav")), (Bytes{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(fs::file_size(m_dir.File("a.wav")), 44u + 4000u);
  // One line per file, in list order, on stdout.
  EXPECT_EQ(run.out, "a.aif -> " + m_dir.File("a.wav") + "\na.aiff -> " + m_dir.File("a_1.wav") + "\ntrack -> " +
                         m_dir.File("track.wav") + "\nkeep.aiff -> " + m_dir.File("keep_1.wav") + "\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, ParallelJobsNameCollidingStemsInListOrder) {
  for (const char* name : {"a.aif", "a.aiff", "a.aifc"}) WriteAiff(name, 20000);
  const CliRun run = Cli("convert -q -j2 -fwav a.aif a.aiff a.aifc");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("a.aif -> " + m_dir.File("a.wav") + "\na.aiff -> " + m_dir.File("a_1.wav") +
                         "\na.aifc -> " + m_dir.File("a_2.wav")),
            std::string::npos)
      << run.out;
}

TEST_F(CliTest, OutputFolderMirrorAndCompanions) {
  const std::string source = WriteAiff("music/pop/song.aiff");
  m_dir.Write("music/pop/cover.jpg", {'c'});
  const std::string out = m_dir.File("out");
  CliRun run = Cli("convert -q -f wav -o out music/pop/song.aiff");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(fs::exists(out + "/song.wav"));
  EXPECT_FALSE(fs::exists(out + "/cover.jpg"));  // only when asked for

  run = Cli("convert -q -f wav -o out --mirror --copy-companions --report report.jsonl music/pop/song.aiff");
  EXPECT_EQ(run.status, 0) << run.err;
  // Below the output folder, the source's absolute folder path is recreated; the cover goes along.
  const std::string mirrored = out + fs::path(source).parent_path().string();
  EXPECT_EQ(run.out, "music/pop/song.aiff -> " + mirrored + "/song.wav (1 companion file copied)\n");
  EXPECT_TRUE(fs::exists(mirrored + "/cover.jpg"));
  const Bytes report = test::ReadFileBytes(m_dir.File("report.jsonl"));
  EXPECT_NE(std::string(report.begin(), report.end()).find(R"({"kind":"companions_copied","count":1})"),
            std::string::npos);
}

// {path} recreates the tree below each folder given; files given by themselves or listed take
// theirs below --relative-to, and a file reached twice keeps the root it first came with.
TEST_F(CliTest, PathPatternRecreatesTheTreeBelowTheFolderGiven) {
  WriteAiff("in/Artist/Album/one.aiff");
  WriteAiff("in/Artist/two.aiff");
  WriteAiff("in/Other/three.aiff");
  WriteAiff("loose.aiff");
  CliRun run = Cli("convert -q -f wav -o out --name '{path}/{name}' in loose.aiff");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(m_dir.File("out/Artist/Album/one.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("out/Artist/two.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("out/Other/three.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("out/loose.wav")));

  const std::string list = "in/Artist/Album/one.aiff\nin/Artist\nin/Other/three.aiff\nloose.aiff\n";
  m_dir.Write("list", Bytes(list.begin(), list.end()));
  run = Cli("convert -q -f wav -o listed --name '{path}/{name}' --relative-to in --files-from list");
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> listed;
  for (const std::string& name : Names()) {
    if (name.starts_with("listed/") && name.ends_with(".wav")) listed.push_back(name);
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"listed/Artist/Album/one.wav", "listed/Other/three.wav",
                                              "listed/loose.wav", "listed/two.wav"}));
}

TEST_F(CliTest, FoldersAreSearched) {
  WriteAiff("lib/one.aiff");
  WriteAiff("lib/sub/two.AIF");
  m_dir.Write("lib/notes.txt", {'x'});
  const CliRun run = Cli("convert -q -f wav lib");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(fs::exists(m_dir.File("lib/one.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("lib/sub/two.wav")));
  EXPECT_FALSE(fs::exists(m_dir.File("lib/notes.wav")));
}

TEST_F(CliTest, AFailingFileIsReportedAndLeavesNothingBehind) {
  WriteAiff("good.aiff");
  m_dir.Write("broken.aiff", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M', 0, 0, 0, 18});
  // A source cut short converts what it holds, and says so.
  const Bytes whole = test::ReadFileBytes(WriteAiff("short.aiff", 1000));
  m_dir.Write("short.aiff", Bytes(whole.begin(), whole.end() - 2400));
  const CliRun run = Cli("convert -q -f wav broken.aiff good.aiff missing.aiff short.aiff");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "good.aiff -> " + m_dir.File("good.wav") + "\n");
  EXPECT_EQ(run.err, "broken.aiff: failed (truncated COMM chunk)\n"
                     "missing.aiff: failed (cannot open file: No such file or directory)\n"
                     "short.aiff -> " + m_dir.File("short.wav") + " (source ends early: 400 of 1,000 frames)\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"broken.aiff", "good.aiff", "good.wav", "short.aiff", "short.wav"}));
}

// A file whose tags need more memory than the system gives fails alone, with its reason and
// without a partial file, and the files after it are still converted or described.
TEST_F(CliTest, AFileThatCannotGetItsMemoryFailsAlone) {
  WriteAiff("a.aiff");
  WriteAiff("c.aiff");
  // A cover of 15 MiB (within what tags may carry) deflated to a few kilobytes: small on disk,
  // 15 MiB in memory once inflated, and twice that while it is copied into the output's tag.
  const Bytes head = {0, 'i', 'm', 'a', 'g', 'e', '/', 'j', 'p', 'e', 'g', 0, 3, 0};
  const std::size_t cover = std::size_t{15} << 20;
  m_dir.Write("b.aiff", test::TaggedAiff({}, {test::Chunk("ID3 ", test::Id3v23Tag({test::Id3v23Frame(
                                                  "APIC", test::Deflated(head, cover, 0xFF), 0,
                                                  static_cast<std::uint32_t>(head.size() + cover))}))}));
  // The least address space (in steps of 2 MB) in which a command does its work on a plain
  // file here, plus a margin below what the cover needs.
  auto least = [this](const std::string& command, int marginKb) {
    int kb = 30000;
    while (Cli(command + " a.aiff", "/dev/null", kb).status != 0) kb += 2000;
    return kb + marginKb;
  };
  const std::string convert = "convert -q -j 1 -f wav -o probe";
  // A sanitizer build reserves terabytes of address space for its shadow memory at start.
  if (Cli(convert + " a.aiff", "/dev/null", 1000000).status != 0) {
    GTEST_SKIP() << "velmora-cli does not start with 1 GB of address space";
  }
  const int limitKb = least(convert, 20000);
  fs::remove_all(m_dir.File("probe"));

  const CliRun run = Cli("convert -q -j 1 -f wav a.aiff b.aiff c.aiff", "/dev/null", limitKb);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "a.aiff -> " + m_dir.File("a.wav") + "\nc.aiff -> " + m_dir.File("c.wav") + "\n");
  EXPECT_EQ(run.err, "b.aiff: failed (out of memory)\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.aiff", "a.wav", "b.aiff", "c.aiff", "c.wav"}));

  const CliRun info = Cli("info a.aiff b.aiff c.aiff", "/dev/null", least("info", 8000));
  EXPECT_EQ(info.status, 1);
  EXPECT_EQ(info.err, "b.aiff: out of memory\n");
  EXPECT_TRUE(info.out.starts_with("a.aiff: ")) << info.out;
  EXPECT_NE(info.out.find("\nc.aiff: "), std::string::npos) << info.out;
  // With memory to spare the cover is carried over.
  ASSERT_EQ(Cli("convert -q -j 1 -f wav -o spare b.aiff").status, 0);
}

// Tags left out are named on the file's line; the file still converts.
TEST_F(CliTest, TagsLeftOutAreNamedOnTheFilesLine) {
  Bytes id3 = test::Id3v23Tag({test::Id3v23Frame("TIT2", {0, 'b', 'i', 'g'})});
  id3.resize(std::size_t{17} << 20);
  m_dir.Write("big.aiff", test::TaggedAiff({test::TextChunk("AUTH", "Ann")}, {test::Chunk("ID3 ", id3)}));
  const CliRun run = Cli("convert -q -f wav big.aiff");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "big.aiff -> " + m_dir.File("big.wav") + " (tags not copied: ID3 chunk of 17 MiB is over the limit)\n");
  EXPECT_EQ(Cli("info big.aiff").out,
            "big.aiff: 2 channel(s), 44100 Hz, 4410 frames, 0:00, 16 bits, compression 'NONE'\n"
            "  artist: Ann\n"
            "  note: tags not copied: ID3 chunk of 17 MiB is over the limit\n");
}

TEST_F(CliTest, AnOutputFolderThatCannotBeUsedFailsEachFileAndWritesNothingElsewhere) {
  WriteAiff("a.aiff");
  WriteAiff("b.aiff");
  m_dir.Write("file", {'x'});
  const auto before = Names();
  CliRun run = Cli("convert -q -f wav -o file/out a.aiff b.aiff");
  EXPECT_EQ(run.status, 1);
  const std::string reason = " (cannot create folder \"" + m_dir.File("file/out/") + "\": Not a directory)\n";
  EXPECT_EQ(run.err, "a.aiff: failed" + reason + "b.aiff: failed" + reason);
  // Nothing next to the sources, no documents folder, no empty folders left behind.
  EXPECT_EQ(Names(), before);
  EXPECT_FALSE(fs::exists(m_dir.File("home/Documents")));
}

// A stem that fits the folder only without its number or extension is shortened to fit.
TEST_F(CliTest, LongStemsAreShortenedToFitWithTheirNumber) {
  const std::string stem(250, 'n');
  WriteAiff("a/" + stem + ".aiff");
  WriteAiff("b/" + stem + ".aiff");
  const std::string longName = std::string(252, 'n') + ".a";  // 256 bytes once ".wav" replaces ".a"
  WriteAiff(longName);
  const CliRun run = Cli("convert -q -f wav -o out a b " + longName);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "a/" + stem + ".aiff -> " + m_dir.File("out/" + stem + ".wav") + "\nb/" + stem + ".aiff -> " +
                         m_dir.File("out/" + std::string(249, 'n') + "_1.wav") + "\n" + longName + " -> " +
                         m_dir.File("out/" + std::string(251, 'n') + ".wav") + "\n");
}

TEST_F(CliTest, ASourceReachedTwiceIsConvertedOnceAndSkipExistingResumes) {
  WriteAiff("lib/a.aiff");
  WriteAiff("lib/b.aiff");
  fs::create_directories(m_dir.File("links"));
  fs::create_symlink(m_dir.File("lib/a.aiff"), m_dir.File("links/alias.aiff"));
  // A path that names nothing is one source too, however often it is given.
  CliRun run = Cli("convert -q -f wav gone.aiff lib/a.aiff ./lib/a.aiff links gone.aiff -o out");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "lib/a.aiff -> " + m_dir.File("out/a.wav") + "\n");
  EXPECT_EQ(run.err, "gone.aiff: failed (cannot open file: No such file or directory)\n");

  fs::remove(m_dir.File("out/a.wav"));
  m_dir.Write("out/b.wav", {'o', 'l', 'd'});
  // The list comes NUL-separated on standard input, as find -print0 makes it. Read as lines it
  // would be one name with NULs in it: refused, naming -0, and nothing is written.
  m_dir.Write("list", {'l', 'i', 'b', '/', 'a', '.', 'a', 'i', 'f', 'f', 0, 'l', 'i', 'b', '/', 'b', '.', 'a', 'i', 'f', 'f', 0});
  const auto before = Names();
  run = Cli("convert -q -f wav -o out --skip-existing --files-from -", "list");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "velmora-cli: --files-from -: the names are separated by NUL bytes; read them with -0 (--null)\n"
                     "Try 'velmora-cli --help' for the options.\n");
  EXPECT_EQ(Names(), before);
  run = Cli("convert -q -f wav -o out --skip-existing -0 --files-from -", "list");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "lib/a.aiff -> " + m_dir.File("out/a.wav") + "\nlib/b.aiff: skipped (" + m_dir.File("out/b.wav") +
                         " exists)\n");
  EXPECT_FALSE(fs::exists(m_dir.File("out/b_1.wav")));
}

// Every usage error names what was wrong and ends with the same hint.
// The k-th source of a run that maps to a name owns its k-th numbered form, so a run over the
// same list again converts exactly what is missing.
TEST_F(CliTest, SkipExistingResumesAFlatFolder) {
  WriteAiff("A/01.aiff");
  WriteAiff("Bd/01.aiff");
  WriteAiff("C/01.aiff");
  ASSERT_EQ(Cli("convert -q -f wav -o out A").status, 0);
  CliRun run = Cli("convert -q -f wav -o out --skip-existing A Bd");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "A/01.aiff: skipped (" + m_dir.File("out/01.wav") + " exists)\nBd/01.aiff -> " +
                         m_dir.File("out/01_1.wav") + "\n");
  // C's own name is the third; Bd's second form is kept, never replaced.
  fs::remove(m_dir.File("out/01.wav"));
  run = Cli("convert -q -f wav -o out --skip-existing A Bd C");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "A/01.aiff -> " + m_dir.File("out/01.wav") + "\nBd/01.aiff: skipped (" +
                         m_dir.File("out/01_1.wav") + " exists)\nC/01.aiff -> " + m_dir.File("out/01_2.wav") + "\n");
  EXPECT_EQ(Cli("convert -q -f wav -o out --skip-existing A Bd C").out,
            "A/01.aiff: skipped (" + m_dir.File("out/01.wav") + " exists)\nBd/01.aiff: skipped (" +
                m_dir.File("out/01_1.wav") + " exists)\nC/01.aiff: skipped (" + m_dir.File("out/01_2.wav") +
                " exists)\n");
}

// Names from tags: two sources with the same artist and title are numbered in list order, a
// re-run with --skip-existing skips both, and nothing lands outside the output folder.
TEST_F(CliTest, NamePatternNamesFromTagsAndSkipExistingResumes) {
  const auto tagged = [&](const std::string& name, const std::string& artist) {
    m_dir.Write(name, test::TaggedAiff({test::TextChunk("NAME", "Song"), test::TextChunk("AUTH", artist)}, {}, 100));
  };
  tagged("in/a.aiff", "Ann");
  tagged("in/b.aiff", "Ann");
  tagged("in/c.aiff", "../..");
  const std::string pattern = "--name '{artist}/{track:02} {title}'";
  CliRun run = Cli("convert -q -f wav -j 2 -o out " + pattern + " in/a.aiff in/b.aiff in/c.aiff");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "in/a.aiff -> " + m_dir.File("out/Ann/00 Song.wav") + "\nin/b.aiff -> " +
                         m_dir.File("out/Ann/00 Song_1.wav") + "\nin/c.aiff -> " + m_dir.File("out/___../00 Song.wav") +
                         "\n");
  run = Cli("convert -q -f wav -o out --skip-existing " + pattern + " in/a.aiff in/b.aiff");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "in/a.aiff: skipped (" + m_dir.File("out/Ann/00 Song.wav") + " exists)\nin/b.aiff: skipped (" +
                         m_dir.File("out/Ann/00 Song_1.wav") + " exists)\n");
  // Without an output folder the pattern's folders go below the source's folder.
  EXPECT_EQ(Cli("convert -q -f wav --name '{folder}/{name}' in/a.aiff").out,
            "in/a.aiff -> " + m_dir.File("in/in/a.wav") + "\n");
}

// What a run cannot do as its settings ask is said on stderr: a saved bit rate the saved rate
// cannot carry is paired as the options page pairs it, and a frame too small for the gapless
// information frame (8 kbit/s always) is named with the file.
TEST_F(CliTest, SavedSettingsThatCannotApplyAreCorrectedAndSaidSo) {
  WriteAiff("a.aiff", 44100);
  const std::string config = m_dir.File("home/.config/Tandrel/Velmora.conf");
  fs::create_directories(fs::path(config).parent_path());
  std::ofstream(config) << "[Options]\nAutoDestMP3EncodingParam=0\nMP3BitRate=8\nMP3SampleRate=44100\n";
  CliRun run = Cli("convert -q --no-id3 -o saved a.aiff");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "velmora-cli: the saved MP3BitRate 8 cannot be used as it is; 32 is used instead\n");
  if (test::HaveProgram("ffprobe")) {
    std::string probe;
    test::RunCommand("ffprobe -v error -show_entries stream=sample_rate,bit_rate -of default=nw=1 " +
                         test::ShellQuote(m_dir.File("saved/a.mp3")),
                     &probe);
    EXPECT_EQ(probe, "sample_rate=44100\nbit_rate=32000\n");
  }
  // Asked for, or picked by automatic parameters for a narrow mono source.
  fs::remove(config);
  AiffBuilder phone;
  phone.rate = 8000;
  phone.frames = 8000;
  phone.sound.assign(16000, 0x10);
  m_dir.Write("phone.aiff", phone.Build());
  const std::pair<std::string, std::string> cases[] = {{"-b 8 --mp3-rate 8000", "8"}, {"-b 16 --mp3-rate 8000", "16"},
                                                       {"", "8"}};
  for (const auto& [options, kbps] : cases) {
    const std::string folder = "at" + kbps + (options.empty() ? "auto" : "");
    run = Cli("convert -q --no-id3 --gapless " + options + " -o " + folder + " phone.aiff");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "phone.aiff -> " + m_dir.File(folder + "/phone.mp3") + " (not gapless: a frame of " + kbps +
                           " kbit/s at 8000 Hz has no room for the information frame)\n")
        << options;
  }
  EXPECT_EQ(Cli("convert -q --no-id3 --gapless -b 32 --mp3-rate 8000 -o fits phone.aiff").err, "");
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  WriteAiff("a.aiff");
  const std::pair<const char*, const char*> cases[] = {
      {"", "no command given"},
      {"frobnicate a.aiff", "unknown command 'frobnicate'"},
      {"convert", "no files or folders given"},
      {"convert -f ogg a.aiff", "-f: expected mp3, wav, flac or opus, got 'ogg'"},
      {"convert --jobs 0 a.aiff", "--jobs: expected a number from 1 to 256, got '0'"},
      {"convert --mirror a.aiff", "--mirror needs an output folder (-o DIR)"},
      {"convert --gain 5 a.aiff", "--gain: expected a number from 10 to 3000, got '5'"},
      {"convert -f wav --wav-bits 24 a.aiff", "--wav-bits: expected 8, 16 or source, got '24'"},
      {"convert --bogus a.aiff", "unknown option '--bogus'"},
      {"convert --mp3-rate 12345 a.aiff", "--mp3-rate: expected one of 8000, 11025, 12000, 16000, 22050, 24000, 32000, "
                                          "44100, 48000, got '12345'"},
      {"convert -b 100 a.aiff", "-b: expected one of 8, 16, 24"},
      {"convert --files-from missing-list", "cannot read missing-list: No such file or directory"},
      {"convert --vbr 10 a.aiff", "--vbr: expected a number from 0 to 9, got '10'"},
      {"convert --vbr 2 -b 128 a.aiff", "--vbr and --bitrate exclude each other"},
      {"convert -q4 a.aiff", "-q takes no value"},
      {"convert --null=1 a.aiff", "--null takes no value"},
      // Options of the other format would be ignored: they are refused, naming the format.
      {"convert --wav-bits 8 a.aiff", "--wav-bits does not apply to MP3 output"},
      {"convert --wav-rate=8000 -f mp3 a.aiff", "--wav-rate does not apply to MP3 output"},
      {"convert --wav-channels 1 a.aiff", "--wav-channels does not apply to MP3 output"},
      {"convert -f wav --vbr 2 a.aiff", "--vbr does not apply to WAV output"},
      {"convert -b128 -f wav a.aiff", "-b does not apply to WAV output"},
      {"convert --mode mono -f wav a.aiff", "--mode does not apply to WAV output"},
      {"convert --mp3-rate 8000 -f wav a.aiff", "--mp3-rate does not apply to WAV output"},
      {"convert --gapless -f wav a.aiff", "--gapless does not apply to WAV output"},
      {"convert -f wav --id3 a.aiff", "--id3 does not apply to WAV output"},
      {"convert --flac-level 5 a.aiff", "--flac-level applies only to FLAC output (choose -f flac)"},
      {"convert -f wav --no-keep-chunks a.aiff", "--no-keep-chunks applies only to FLAC output (choose -f flac)"},
      {"convert -f flac --wav-bits 16 a.aiff", "--wav-bits does not apply to FLAC output"},
      {"convert -f flac --vbr 2 a.aiff", "--vbr does not apply to FLAC output"},
      {"convert -f flac --gain 150 a.aiff", "--gain does not apply to FLAC output"},
      {"convert -f flac --flac-level 9 a.aiff", "--flac-level: expected a number from 0 to 8, got '9'"},
      {"convert -f flac --flac-level=fast a.aiff", "--flac-level: expected a number from 0 to 8, got 'fast'"},
      {"convert -f flac --no-keep-chunks=1 a.aiff", "--no-keep-chunks takes no value"},
      {"convert --opus-bitrate 64 a.aiff", "--opus-bitrate applies only to Opus output (choose -f opus)"},
      {"convert -f wav --opus-vbr=off a.aiff", "--opus-vbr applies only to Opus output"},
      {"convert -f opus -b 128 a.aiff", "-b does not apply to Opus output"},
      {"convert -f opus --wav-rate 8000 a.aiff", "--wav-rate does not apply to Opus output"},
      {"convert -f opus --gain 200 a.aiff", "--gain does not apply to Opus output"},
      {"convert -f opus --opus-bitrate 5 a.aiff", "--opus-bitrate: expected a number from 6 to 512, got '5'"},
      {"convert -f opus --opus-bitrate 513 a.aiff", "--opus-bitrate: expected a number from 6 to 512, got '513'"},
      {"convert -f opus --opus-vbr maybe a.aiff", "--opus-vbr: expected on, constrained or off, got 'maybe'"},
      {"convert --name '{artst}' a.aiff", "--name: the name pattern has an unknown field {artst}"},
      {"convert --name '{name' a.aiff", "--name: the name pattern has a '{' without its '}'"},
      {"convert --name '../{name}' a.aiff", "--name: the name pattern has an empty, '.' or '..' folder"},
      {"convert --name /tmp/{name} a.aiff", "--name: the name pattern must not start with '/'"},
      {"convert --name '{path}' a.aiff", "--name: the name pattern must give {path} a whole folder of its own"},
      {"convert --relative-to missing a.aiff", "--relative-to missing: no such folder"},
      {"convert --relative-to= a.aiff", "--relative-to: empty folder name"},
      // Normalisation chooses the gain itself.
      {"convert --normalize -14 --gain 200 a.aiff", "--gain and --normalize exclude each other"},
      {"convert --gain 200 --normalize-album -14 a.aiff", "--gain and --normalize exclude each other"},
      {"convert --normalize -14 --replaygain track a.aiff", "--replaygain and --normalize exclude each other"},
      {"convert --replaygain album --normalize-album -14 a.aiff", "--replaygain and --normalize exclude each other"},
      {"convert --normalize -3 a.aiff", "--normalize: expected a number from -40 to -5, got '-3'"},
      {"convert --true-peak-ceiling -1 a.aiff", "--true-peak-ceiling applies only to normalisation"},
      {"convert --normalize -14 --true-peak-ceiling 0.5 a.aiff", "--true-peak-ceiling: expected a level in dBTP "
                                                                 "from -20 to 0"},
      {"convert --normalize -14 --true-peak-ceiling -1.25 a.aiff", "--true-peak-ceiling: expected"},
      {"convert --replaygain loud a.aiff", "--replaygain: expected track, album or off, got 'loud'"},
      {"convert --loudness a.aiff", "--loudness is an option of info"},
  };
  for (const auto& [arguments, message] : cases) {
    const CliRun run = Cli(arguments);
    EXPECT_EQ(run.status, 2) << arguments << "\n" << run.err;
    EXPECT_EQ(run.out, "") << arguments;
    EXPECT_TRUE(run.err.starts_with(std::string("velmora-cli: ") + message)) << arguments << "\n" << run.err;
    EXPECT_TRUE(run.err.ends_with("\nTry 'velmora-cli --help' for the options.\n")) << arguments << "\n" << run.err;
  }
  // A bit rate the chosen sample rate cannot carry is refused, naming what it can carry.
  const CliRun run = Cli("convert -b 320 --mp3-rate 8000 a.aiff");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("an MP3 stream at 8000 Hz cannot carry 320 kbit/s; choose one of 8, 16, 24, 32, 40, 48, 56, 64"),
            std::string::npos) << run.err;
  EXPECT_NE(Cli("--help").out.find("32000 to 48000 Hz:  32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320"),
            std::string::npos);
  // The tag texts and the gain apply to both formats.
  EXPECT_EQ(Cli("convert -q -f wav --artist Ann --gain 200 a.aiff").status, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.aiff", "a.wav"}));
}

// A 16-bit stereo sine of `seconds` at 48000 Hz, `dbfs` in both channels.
Bytes SineAiff(double hz, double dbfs, int seconds) {
  AiffBuilder b;
  b.channels = 2;
  b.rate = 48000;
  b.frames = static_cast<std::uint32_t>(48000 * seconds);
  for (std::uint32_t f = 0; f < b.frames; ++f) {
    const double v = std::pow(10.0, dbfs / 20) * std::sin(2 * 3.14159265358979 * hz * f / 48000);
    const auto sample = static_cast<unsigned>(static_cast<std::int16_t>(std::lround(v * 32767))) & 0xFFFF;
    test::PutBe16(b.sound, sample);
    test::PutBe16(b.sound, sample);
  }
  return b.Build();
}

TEST_F(CliTest, InfoMeasuresLoudnessAndConvertNormalisesEachFileOrAlbum) {
  m_dir.Write("sine.aiff", SineAiff(997, -20, 4));
  const CliRun info = Cli("info --loudness sine.aiff");
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out, "sine.aiff: 2 channel(s), 48000 Hz, 192000 frames, 0:04, 16 bits, compression 'NONE'\n"
                      "  loudness: -20.0 LUFS, range 0.0 LU, true peak -20.0 dBTP\n");

  fs::create_directories(m_dir.File("album"));
  m_dir.Write("album/quiet.aiff", SineAiff(997, -40, 4));
  m_dir.Write("album/loud.aiff", SineAiff(997, -30, 4));
  // Each file reaches the target, but for a quiet tone with loud clicks: its line says what
  // held it lower.
  Bytes clicks = SineAiff(997, -40, 4);
  for (std::size_t at = 1000; at + 4 < clicks.size(); at += 48000) clicks[at] = 0x60;
  m_dir.Write("clicks.aiff", clicks);
  const CliRun each = Cli("convert -f wav --normalize -16 --true-peak-ceiling -1.5 -o each album clicks.aiff");
  EXPECT_EQ(each.status, 0) << each.err;
  const std::string out = m_dir.File("each") + "/";
  EXPECT_TRUE(each.out.starts_with("album/loud.aiff -> " + out + "loud.wav (-16.0 LUFS)\n"
                                   "album/quiet.aiff -> " + out + "quiet.wav (-16.0 LUFS)\n"
                                   "clicks.aiff -> " + out + "clicks.wav (-"))
      << each.out;
  EXPECT_TRUE(each.out.ends_with(" LUFS, held by the -1.5 dBTP ceiling)\n")) << each.out;
  // Per album the two files move by one gain, which brings the two together to -16 LUFS.
  const CliRun album = Cli("convert -f wav --normalize-album -16 -o album-out album");
  EXPECT_EQ(album.status, 0) << album.err;
  EXPECT_EQ(album.out, "album/loud.aiff -> " + m_dir.File("album-out") + "/loud.wav (-13.4 LUFS)\n"
                       "album/quiet.aiff -> " + m_dir.File("album-out") + "/quiet.wav (-23.4 LUFS)\n");
}

// The REPLAYGAIN_* texts of an ID3v2 tag, as TagLib reads them.
std::map<std::string, std::string> ReplayGainTexts(TagLib::ID3v2::Tag* tag) {
  std::map<std::string, std::string> texts;
  if (!tag) return texts;
  for (const auto* frame : tag->frameList("TXXX")) {
    const auto* text = dynamic_cast<const TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
    if (text && text->fieldList().size() == 2) {
      texts[text->description().to8Bit(true)] = text->fieldList()[1].to8Bit(true);
    }
  }
  return texts;
}

// The LAME extension of an MP3's information frame: its ReplayGain fields decoded (tenths of
// a dB, name code checked) and its peak; and whether its CRC-16 covers the frame as stored.
struct LameReplayGain {
  double track = 0, album = 0, peak = 0;
  bool crcMatches = false;
};

std::optional<LameReplayGain> ReadLameReplayGain(const Bytes& file) {
  const std::string bytes(file.begin(), file.end());
  std::size_t frame = bytes.find("\xFF\xFB");
  const std::size_t info = bytes.find("Info", frame) < bytes.find("Xing", frame) ? bytes.find("Info", frame)
                                                                                   : bytes.find("Xing", frame);
  if (frame == std::string::npos || info == std::string::npos || info - frame > 40) return std::nullopt;
  const std::size_t lame = info + 120;
  if (bytes.compare(lame, 4, "LAME") != 0) return std::nullopt;
  const auto u8 = [&](std::size_t at) { return static_cast<unsigned>(file[at]); };
  const auto field = [&](std::size_t at, unsigned name) {
    const unsigned v = u8(at) << 8 | u8(at + 1);
    EXPECT_EQ(v >> 13, name);
    return (v & 0x200 ? -1.0 : 1.0) * (v & 0x1FF) / 10.0;
  };
  LameReplayGain rg;
  rg.peak = (u8(lame + 11) << 24 | u8(lame + 12) << 16 | u8(lame + 13) << 8 | u8(lame + 14)) / 8388608.0;
  rg.track = field(lame + 15, 1);
  rg.album = field(lame + 17, 2);
  unsigned crc = 0;  // CRC-16, polynomial 0x8005 reflected, over the frame up to the field
  for (std::size_t i = frame; i < lame + 34; ++i) {
    crc ^= u8(i);
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  rg.crcMatches = crc == (u8(lame + 34) << 8 | u8(lame + 35));
  return rg;
}

// White noise at `dbfs` RMS: the encoder's low-pass takes a good part of its K-weighted loudness.
Bytes NoiseAiff(double dbfs, int seconds) {
  AiffBuilder b;
  b.channels = 2;
  b.rate = 48000;
  b.frames = static_cast<std::uint32_t>(48000 * seconds);
  std::mt19937 random(5);
  std::normal_distribution<double> normal(0.0, std::pow(10.0, dbfs / 20));
  for (std::uint32_t i = 0; i < b.frames * 2; ++i) {
    const double v = std::clamp(normal(random), -1.0, 1.0);
    test::PutBe16(b.sound, static_cast<unsigned>(static_cast<std::int16_t>(std::lround(v * 32767))) & 0xFFFF);
  }
  return b.Build();
}

// The "File Loudness ... Gain New_Peak" lines of loudgain's tab-separated list, by file name:
// the gain and the true peak, as loudgain measures the decoded file.
std::map<std::string, std::pair<double, double>> LoudgainFigures(const std::string& output) {
  std::map<std::string, std::pair<double, double>> figures;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    if (fields.size() < 9 || fields[0] == "File") continue;
    figures[FileNamePart(fields[0])] = {std::stod(fields[8]), std::stod(fields[3])};
  }
  return figures;
}

// ReplayGain 2.0: -18 LUFS is the reference, and album mode measures a folder as one programme.
// An MP3's gains and peaks are those of the file a player decodes, as loudgain reads them.
TEST_F(CliTest, ReplayGainTagsAreReadBackByTagLibFfprobeAndLoudgain) {
  fs::create_directories(m_dir.File("album"));
  m_dir.Write("album/quiet.aiff", SineAiff(997, -40, 4));
  m_dir.Write("album/loud.aiff", SineAiff(997, -30, 4));
  m_dir.Write("album/noise.aiff", NoiseAiff(-20, 4));
  ASSERT_EQ(Cli("convert -q --replaygain album --vbr 2 --no-copy-tags -o mp3 album").status, 0);
  std::map<std::string, std::map<std::string, std::string>> texts;
  for (const char* name : {"quiet.mp3", "loud.mp3", "noise.mp3"}) {
    TagLib::MPEG::File mp3(m_dir.File(std::string("mp3/") + name).c_str());
    texts[name] = ReplayGainTexts(mp3.ID3v2Tag());
    ASSERT_EQ(texts[name].size(), 4u) << name;
    EXPECT_EQ(texts[name]["REPLAYGAIN_ALBUM_GAIN"], texts["quiet.mp3"]["REPLAYGAIN_ALBUM_GAIN"]);
  }
  // A -30 dBFS tone decodes at its level, its peak a hair above the samples' 0.031623.
  EXPECT_NEAR(std::stod(texts["loud.mp3"]["REPLAYGAIN_TRACK_GAIN"]), 12.0, 0.05);
  EXPECT_NEAR(std::stod(texts["loud.mp3"]["REPLAYGAIN_TRACK_PEAK"]), 0.0317, 0.0005);
  // The information frame carries the same, in tenths of a dB.
  const auto lame = ReadLameReplayGain(test::ReadFileBytes(m_dir.File("mp3/quiet.mp3")));
  ASSERT_TRUE(lame);
  EXPECT_NEAR(lame->track, std::stod(texts["quiet.mp3"]["REPLAYGAIN_TRACK_GAIN"]), 0.051);
  EXPECT_NEAR(lame->album, std::stod(texts["quiet.mp3"]["REPLAYGAIN_ALBUM_GAIN"]), 0.051);
  EXPECT_NEAR(lame->peak, std::stod(texts["quiet.mp3"]["REPLAYGAIN_TRACK_PEAK"]), 0.0002);
  EXPECT_TRUE(lame->crcMatches);
  if (test::HaveProgram("loudgain")) {
    // loudgain prints two decimals, as the tags do. Its decoder is another one: peaks agree to
    // a thousandth (0.01 dB).
    std::string listed;
    test::RunCommand("cd " + test::ShellQuote(m_dir.File("mp3")) + " && loudgain -q -a -O quiet.mp3 loud.mp3 noise.mp3",
                     &listed);
    const auto peer = LoudgainFigures(listed);
    for (const char* name : {"quiet.mp3", "loud.mp3", "noise.mp3"}) {
      ASSERT_EQ(peer.count(name), 1u) << listed;
      EXPECT_NEAR(std::stod(texts[name]["REPLAYGAIN_TRACK_GAIN"]), peer.at(name).first, 0.011) << name;
      EXPECT_NEAR(std::stod(texts[name]["REPLAYGAIN_TRACK_PEAK"]), peer.at(name).second, peer.at(name).second * 1e-3)
          << name;
    }
  }

  // The WAV output was made twice as loud (+6.02 dB): its tags describe it as it is.
  ASSERT_EQ(Cli("convert -q -f wav --gain 200 --replaygain track -o wav album").status, 0);
  TagLib::RIFF::WAV::File wav(m_dir.File("wav/quiet.wav").c_str());
  const auto wavTexts = ReplayGainTexts(wav.ID3v2Tag());
  EXPECT_EQ(wavTexts.size(), 2u);
  EXPECT_NEAR(std::stod(wavTexts.at("REPLAYGAIN_TRACK_GAIN")), 22.0 - 6.02, 0.02);
  EXPECT_NEAR(std::stod(wavTexts.at("REPLAYGAIN_TRACK_PEAK")), 0.02, 0.0004);

  if (!test::HaveProgram("ffprobe")) GTEST_SKIP() << "ffprobe not installed";
  std::string probe;
  test::RunCommand("ffprobe -v error -show_entries format_tags -of default=nw=1 " +
                       test::ShellQuote(m_dir.File("mp3/quiet.mp3")), &probe);
  EXPECT_NE(probe.find("TAG:REPLAYGAIN_ALBUM_GAIN=" + texts["quiet.mp3"]["REPLAYGAIN_ALBUM_GAIN"] + "\n"),
            std::string::npos) << probe;
}

// A normalised MP3 keeps the true-peak ceiling as a player decodes it, and its line tells what
// the decoded file measures.
TEST_F(CliTest, NormalisedMp3KeepsTheCeilingWhenDecoded) {
  if (!test::HaveProgram("loudgain")) GTEST_SKIP() << "loudgain not installed";
  m_dir.Write("noise.aiff", NoiseAiff(-30, 4));
  const CliRun run = Cli("convert --normalize -5 --true-peak-ceiling 0 -b 128 noise.aiff");
  ASSERT_EQ(run.status, 0) << run.err;
  std::string listed;
  test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && loudgain -q -O noise.mp3", &listed);
  const auto peer = LoudgainFigures(listed);
  ASSERT_EQ(peer.count("noise.mp3"), 1u) << listed;
  EXPECT_LE(20 * std::log10(peer.at("noise.mp3").second), 0.0);
  // loudgain's gain is to -18 LUFS: the file's loudness is -18 minus it.
  const std::size_t open = run.out.rfind('(');
  ASSERT_NE(open, std::string::npos) << run.out;
  EXPECT_NEAR(std::stod(run.out.substr(open + 1)), -18.0 - peer.at("noise.mp3").first, 0.06) << run.out;
  EXPECT_NE(run.out.find("held by the 0 dBTP ceiling"), std::string::npos) << run.out;
}

TEST_F(CliTest, Mp3OptionsReachTheEncoderAndTheTag) {
  if (!test::HaveProgram("ffprobe")) GTEST_SKIP() << "ffprobe not installed";
  WriteAiff("song.aiff", 44100);
  const CliRun run = Cli("convert -q -b 96 --mp3-rate 32000 --mode mono --title 'Night Train' --artist Ann "
                         "--year 1999 --genre Jazz song.aiff");
  ASSERT_EQ(run.status, 0) << run.out;
  std::string probe;
  test::RunCommand("ffprobe -v error -show_entries stream=sample_rate,channels,bit_rate:format_tags "
                   "-of default=nw=1 " + test::ShellQuote(m_dir.File("song.mp3")), &probe);
  EXPECT_NE(probe.find("sample_rate=32000"), std::string::npos) << probe;
  EXPECT_NE(probe.find("channels=1"), std::string::npos) << probe;
  EXPECT_NE(probe.find("bit_rate=96000"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:title=Night Train"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:artist=Ann"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:genre=Jazz"), std::string::npos) << probe;
}

// The bit rate and its control reach the Opus encoder: a constant rate is exactly the one asked.
TEST_F(CliTest, OpusOptionsReachTheEncoder) {
  if (!test::HaveProgram("opusinfo")) GTEST_SKIP() << "opusinfo not installed";
  WriteAiff("song.aiff", 44100 * 3);
  for (const char* vbr : {"off", "on"}) {
    std::filesystem::remove(m_dir.File("song.opus"));
    const CliRun run = Cli(std::string("convert -q -f opus --opus-bitrate 32 --opus-vbr ") + vbr + " song.aiff");
    ASSERT_EQ(run.status, 0) << run.err;
    std::string info;
    ASSERT_EQ(test::RunCommand("opusinfo " + test::ShellQuote(m_dir.File("song.opus")), &info), 0);
    EXPECT_EQ(info.find("(hard-CBR)") != std::string::npos, std::string(vbr) == "off") << vbr << "\n" << info;
    if (std::string(vbr) == "off") {
      EXPECT_NE(info.find("w/o overhead: 32"), std::string::npos) << info;
    }
  }
}

TEST_F(CliTest, InfoListsTheSourceTagsAndCopyTagsCanBeTurnedOff) {
  test::Id3Fields fields;
  fields.album = "Deep";
  fields.picture = test::TinyPng();
  m_dir.Write("tagged.aiff", test::TaggedAiff({test::TextChunk("NAME", "Night\x1B]0;x\x07Train")},
                                              {test::Chunk("ID3 ", test::Id3Tag(fields))}));
  const CliRun info = Cli("info tagged.aiff");
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out, "tagged.aiff: 2 channel(s), 44100 Hz, 4410 frames, 0:00, 16 bits, compression 'NONE'\n"
                      "  title: Night ]0;x Train\n"
                      "  album: Deep\n"
                      "  picture: type 3, image/png, 67 bytes\n");

  // The saved setting is on; the flags override it for one run.
  ASSERT_EQ(Cli("convert -q --no-copy-tags -o off tagged.aiff").status, 0);
  ASSERT_EQ(Cli("convert -q --copy-tags -o on tagged.aiff").status, 0);
  EXPECT_EQ(test::ReadFileBytes(m_dir.File("off/tagged.mp3")).at(0), 0xFF);
  const Bytes tagged = test::ReadFileBytes(m_dir.File("on/tagged.mp3"));
  EXPECT_EQ(std::string(tagged.begin(), tagged.begin() + 4), std::string("ID3\x03"));
}

// --vbr makes what the command-line encoder makes of the same file; --vbr and --gapless both
// give the information frame, so that a decoder plays exactly the source's length. -b asks for
// constant bit rate even when variable bit rate was saved.
TEST_F(CliTest, VbrAndGaplessPlayTheSourceLength) {
  constexpr int kFrames = 44100 + 123;
  WriteAiff("a.aiff", kFrames);
  auto infoFrame = [&](const std::string& file) {
    const Bytes bytes = test::ReadFileBytes(m_dir.File(file));
    const std::string head(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 64));
    return head.find("Xing") != std::string::npos ? "Xing" : head.find("Info") != std::string::npos ? "Info" : "none";
  };
  auto playedFrames = [&](const std::string& file) {
    std::string raw;
    test::RunCommand("mpg123 -q -s " + test::ShellQuote(m_dir.File(file)) + " 2>/dev/null", &raw);
    return static_cast<int>(raw.size() / 4);
  };
  ASSERT_EQ(Cli("convert -q --no-id3 --vbr 2 -o vbr a.aiff").status, 0);
  ASSERT_EQ(Cli("convert -q --no-id3 --gapless -b 128 -o gapless a.aiff").status, 0);
  ASSERT_EQ(Cli("convert -q --no-id3 -b 128 -o plain a.aiff").status, 0);
  EXPECT_STREQ(infoFrame("vbr/a.mp3"), "Xing");
  EXPECT_STREQ(infoFrame("gapless/a.mp3"), "Info");
  EXPECT_STREQ(infoFrame("plain/a.mp3"), "none");
  if (test::HaveProgram("lame")) {
    ASSERT_EQ(test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) +
                               " && lame --quiet -V 2 a.aiff lame.mp3 2>/dev/null"),
              0);
    EXPECT_TRUE(test::ReadFileBytes(m_dir.File("vbr/a.mp3")) == test::ReadFileBytes(m_dir.File("lame.mp3")));
  }
  if (test::HaveProgram("mpg123")) {
    EXPECT_EQ(playedFrames("vbr/a.mp3"), kFrames);
    EXPECT_EQ(playedFrames("gapless/a.mp3"), kFrames);
    EXPECT_GT(playedFrames("plain/a.mp3"), kFrames);
  }

  const std::string config = m_dir.File("home/.config/Tandrel/Velmora.conf");
  fs::create_directories(fs::path(config).parent_path());
  std::ofstream(config) << "[Options]\nMP3VbrQuality=4\n";
  ASSERT_EQ(Cli("convert -q --no-id3 -o saved a.aiff").status, 0);
  ASSERT_EQ(Cli("convert -q --no-id3 -b 128 -o cbr a.aiff").status, 0);
  EXPECT_STREQ(infoFrame("saved/a.mp3"), "Xing");
  EXPECT_STREQ(infoFrame("cbr/a.mp3"), "none");
}

TEST_F(CliTest, WavOptionsConvertRateChannelsAndWidthAndTheOthersFollowTheSource) {
  WriteAiff("a.aiff", 44100);
  CliRun run = Cli("convert -q -f wav --wav-rate 22050 --wav-channels 1 --wav-bits 8 a.aiff");
  ASSERT_EQ(run.status, 0) << run.err;
  Bytes wav = test::ReadFileBytes(m_dir.File("a.wav"));
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav[22], 1);                       // channels
  EXPECT_EQ(wav[24] | (wav[25] << 8), 22050);  // rate
  EXPECT_EQ(wav[34], 8);                       // bits
  // One second of source gives one second of output, within a frame.
  EXPECT_NEAR(static_cast<double>(wav.size() - 44), 22050.0, 1.0);

  // Only the width given: an 8 kHz mono 8-bit source stays 8 kHz mono.
  AiffBuilder b;
  b.bits = 8;
  b.rate = 8000;
  b.frames = 8000;
  b.sound = Bytes(8000, 0x10);
  m_dir.Write("phone.aiff", b.Build());
  run = Cli("convert -q -f wav --wav-bits 16 phone.aiff");
  ASSERT_EQ(run.status, 0) << run.err;
  wav = test::ReadFileBytes(m_dir.File("phone.wav"));
  EXPECT_EQ(wav[22], 1);
  EXPECT_EQ(wav[24] | (wav[25] << 8), 8000);
  EXPECT_EQ(wav[34], 16);
  EXPECT_EQ(wav.size(), 44u + 16000u);
}

TEST_F(CliTest, WavBitsSourceKeepsEveryChannelTheRateAndTheResolution) {
  AiffBuilder b;
  b.channels = 6;
  b.bits = 24;
  b.rate = 96000;
  b.frames = 500;
  for (int i = 0; i < 500 * 6; ++i) {
    const auto v = static_cast<std::uint32_t>(i * 40503) & 0xFFFFFF;
    b.sound.insert(b.sound.end(), {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v)});
  }
  m_dir.Write("surround.aiff", b.Build());
  const CliRun run = Cli("convert -q -f wav --wav-bits source surround.aiff");
  ASSERT_EQ(run.status, 0) << run.err;
  const Bytes wav = test::ReadFileBytes(m_dir.File("surround.wav"));
  ASSERT_EQ(wav.size(), 80u + 500u * 18u);  // RIFF, 40-byte fmt, fact and data headers
  EXPECT_EQ(wav[20] | (wav[21] << 8), 0xFFFE);               // extensible
  EXPECT_EQ(wav[22], 6);                                      // channels
  EXPECT_EQ(wav[24] | (wav[25] << 8) | (wav[26] << 16), 96000);
  EXPECT_EQ(wav[34], 24);                                     // bits
  // The first sample, in the file's byte order: the source's three bytes reversed.
  EXPECT_EQ(std::vector<std::uint8_t>(wav.begin() + 80, wav.begin() + 86),
            (std::vector<std::uint8_t>{b.sound[2], b.sound[1], b.sound[0], b.sound[5], b.sound[4], b.sound[3]}));

  // The source's rate and channels cannot also be changed; other widths stay refused.
  for (const char* arguments : {"convert -f wav --wav-bits source --wav-rate 44100 surround.aiff",
                                "convert -f wav --wav-channels 2 --wav-bits=source surround.aiff",
                                "convert -f wav --wav-bits Source surround.aiff"}) {
    const CliRun refused = Cli(arguments);
    EXPECT_EQ(refused.status, 2) << arguments;
  }
  EXPECT_NE(Cli("--help").out.find("--wav-bits 8|16|source"), std::string::npos);
}

TEST_F(CliTest, InterruptOrClosedTerminalLeavesNoPartialFileAndExitsWith130) {
  // Five minutes of stereo, so that the signal usually lands inside the first file; the checks
  // below hold wherever it lands.
  test::AiffBuilder b;
  b.channels = 2;
  b.frames = 44100 * 300;
  b.sound.resize(static_cast<std::size_t>(b.frames) * 4);
  for (std::size_t i = 0; i < b.sound.size(); ++i) b.sound[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  m_dir.Write("long2.aiff", b.Build());
  // The first file's tags take long to screen if the screen does not stop: a text and a
  // picture that lie about their size, a million tiny pictures and 100,000 one-byte ANNO chunks.
  Bytes frames = test::Id3v23Frame("TCOP", test::Deflated({0, 'c'}, 0, 0), 0, 1 << 20);
  const Bytes lyingPicture = test::Id3v23Frame("APIC", test::Deflated({0, 0, 3, 0}, 0, 0), 0, 16 << 20);
  const Bytes tinyPicture = test::Id3v23Frame("APIC", {0, 0, 3, 0, 'X'});
  frames.insert(frames.end(), lyingPicture.begin(), lyingPicture.end());
  for (int i = 0; i < 1000000; ++i) frames.insert(frames.end(), tinyPicture.begin(), tinyPicture.end());
  b.chunksBefore = {test::Chunk("ID3 ", test::Id3v23Tag({frames}))};
  b.chunksBefore.resize(100001, test::TextChunk("ANNO", "a"));
  m_dir.Write("long1.aiff", b.Build());
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string home = m_dir.File("home");
    fs::create_directories(home);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::chdir(m_dir.path().c_str());
      ::setenv("HOME", home.c_str(), 1);
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, STDOUT_FILENO);
      ::execl(VELMORA_CLI_PATH, VELMORA_CLI_PATH, "convert", "-q", "-j", "1", "--report", "report.jsonl", "long1.aiff",
              "long2.aiff", nullptr);
      ::_exit(127);
    }
    // Wait until the first output is there (its tags are read next, then it is written), then signal.
    auto working = [&] {
      for (const auto& entry : fs::directory_iterator(m_dir.path())) {
        if (entry.path().extension() == ".part") return true;
      }
      return false;
    };
    // A minute without one means the program never got to work, not that it was slow.
    for (int i = 0; i < 12000 && !working(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const bool inWork = working();
    ::kill(pid, inWork ? sig : SIGKILL);
    if (!inWork) {
      ::waitpid(pid, nullptr, 0);
      FAIL() << "no output was begun within a minute";
    }
    // The program stops within moments whatever it was doing; a minute means it went on.
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 6000 && ended == 0; ++i) {
      ended = ::waitpid(pid, &status, WNOHANG);
      if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended == 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      for (const auto& entry : fs::directory_iterator(m_dir.path())) {
        if (entry.path().extension() == ".part") fs::remove(entry.path());
      }
    }
    ASSERT_EQ(ended, pid) << "still running a minute after signal " << sig;
    // Exited on its own with 130 (a program killed by the signal would not have exited at all).
    EXPECT_TRUE(WIFEXITED(status)) << "signal " << sig;
    EXPECT_EQ(WEXITSTATUS(status), 130) << "signal " << sig;
    // Nothing half-written is left: the file in work is gone and the one after it never started.
    // The first file may have finished just before the signal came; then its output is kept whole.
    // The report has a line for each source, the one never started included.
    const Bytes report = test::ReadFileBytes(m_dir.File("report.jsonl"));
    std::istringstream lines(std::string(report.begin(), report.end()));
    std::map<std::string, std::string> outcomes;
    for (std::string line; std::getline(lines, line);) {
      const auto at = line.find("\"outcome\":\"");
      ASSERT_NE(at, std::string::npos) << line;
      outcomes[line.substr(line.find("long"), 10)] = line.substr(at + 11, line.find('"', at + 11) - at - 11);
    }
    fs::remove(m_dir.File("report.jsonl"));
    EXPECT_EQ(outcomes.size(), 2u) << "signal " << sig;
    EXPECT_EQ(outcomes["long2.aiff"], "cancelled") << "signal " << sig;
    std::vector<std::string> names = Names();
    const bool firstFinished = std::erase(names, "long1.mp3") == 1;
    EXPECT_EQ(outcomes["long1.aiff"], firstFinished ? "converted" : "cancelled") << "signal " << sig;
    EXPECT_EQ(names, (std::vector<std::string>{"long1.aiff", "long2.aiff"})) << "signal " << sig;
    if (firstFinished) {
      EXPECT_GT(fs::file_size(m_dir.File("long1.mp3")), 300u * 128000u / 8u * 9u / 10u) << "signal " << sig;
      fs::remove(m_dir.File("long1.mp3"));
    }
  }
}

// A signal that comes before any batch, here while the list of sources is still being read,
// ends the program as an interrupt (130), not by the signal's default action.
TEST_F(CliTest, ASignalBeforeTheBatchExitsWith130) {
  const std::string home = m_dir.File("home");
  fs::create_directories(home);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    int list[2];
    ASSERT_EQ(::pipe(list), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::chdir(m_dir.path().c_str());
      ::setenv("HOME", home.c_str(), 1);
      ::dup2(list[0], STDIN_FILENO);
      ::close(list[1]);
      ::execl(VELMORA_CLI_PATH, VELMORA_CLI_PATH, "convert", "-q", "-f", "wav", "--files-from", "-", nullptr);
      ::_exit(127);
    }
    ::close(list[0]);
    // Wait until the program sleeps, which it first does reading the list from the pipe.
    auto sleeping = [&] {
      std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
      std::string line;
      std::getline(stat, line);
      const auto end = line.rfind(')');
      return end != std::string::npos && line.size() > end + 2 && line[end + 2] == 'S';
    };
    for (int i = 0; i < 2000 && !sleeping(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, sig);
    ::close(list[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "signal " << sig;
    EXPECT_EQ(WEXITSTATUS(status), 130) << "signal " << sig;
  }
}

// On a terminal, control characters in names are shown escaped; into a pipe, names stay exact.
TEST_F(CliTest, NamesAreEscapedOnATerminalOnly) {
  if (!test::HaveProgram("script")) GTEST_SKIP() << "script not installed";
  // ESC, the C1 CSI, a backslash, a byte that is no UTF-8, and a right-to-left override.
  const std::string name = "red\x1B[31m\xC2\x9B\\\xFF\xE2\x80\xAE.aiff";
  WriteAiff(name);
  const std::string shown = "red\\033[31m\\302\\233\\\\\\377\\342\\200\\256.aiff";
  CliRun run = Cli("info " + test::ShellQuote(name));
  EXPECT_TRUE(run.out.starts_with(name + ": 2 channel(s)")) << run.out;
  std::string typed;
  test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && " + Environment() +
                       " script -qec " + test::ShellQuote(std::string(VELMORA_CLI_PATH) + " info " + test::ShellQuote(name)) +
                       " /dev/null",
                   &typed);
  EXPECT_NE(typed.find(shown + ": 2 channel(s)"), std::string::npos) << typed;
  EXPECT_EQ(typed.find('\x1B'), std::string::npos) << typed;
}

TEST_F(CliTest, AClosedOutputPipeDoesNotStopTheBatch) {
  WriteAiff("a.aiff", 44100);
  WriteAiff("b.aiff", 44100);
  std::string out;
  const int status = test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && " + Environment() +
                                      " bash -c '" + VELMORA_CLI_PATH + " convert -f wav -j 1 a.aiff b.aiff | true; "
                                      "echo ${PIPESTATUS[0]}'",
                                      &out);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "0\n");
  EXPECT_EQ(fs::file_size(m_dir.File("b.wav")), 44u + 44100u * 4u);
}

}  // namespace
}  // namespace velmora
