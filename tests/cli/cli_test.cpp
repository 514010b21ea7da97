// The command line end to end: the real binary, real files, its stdout and exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::AiffBuilder;
using test::Bytes;

struct CliRun {
  int status = -1;
  std::string out;
};

class CliTest : public ::testing::Test {
 protected:
  // Each test has its own home, so saved settings and the documents folder are its own.
  CliRun Cli(const std::string& arguments) {
    const std::string home = m_dir.File("home");
    fs::create_directories(home);
    CliRun run;
    run.status = test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && HOME=" + test::ShellQuote(home) +
                                      " XDG_CONFIG_HOME=" + test::ShellQuote(home + "/.config") + " " +
                                      test::ShellQuote(VELMORA_CLI_PATH) + " " + arguments + " 2>&1",
                                  &run.out);
    return run;
  }

  std::string WriteAiff(const std::string& name, int frames = 1000) {
    AiffBuilder b;
    b.channels = 2;
    b.frames = static_cast<std::uint32_t>(frames);
    for (int i = 0; i < frames * 2; ++i) test::PutBe16(b.sound, static_cast<unsigned>(i * 37) & 0xFFFF);
    return m_dir.Write(name, b.Build());
  }

  test::TempDir m_dir;
};

TEST_F(CliTest, InfoDescribesGoodFilesAndNamesTheReasonForBadOnes) {
  WriteAiff("good.aiff", 44100);
  m_dir.Write("bad.aiff", {'n', 'o', 't', ' ', 'a', 'i', 'f', 'f', ' ', 'a', 't', ' ', 'a', 'l', 'l', '!', '!', '!', '!', '!'});
  AiffBuilder fiveChannels;
  fiveChannels.channels = 5;
  m_dir.Write("five.aiff", fiveChannels.Build());
  const CliRun run = Cli("info good.aiff bad.aiff five.aiff");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("good.aiff: 2 channel(s), 44100 Hz, 44100 frames, 0:01, 16 bits, compression 'NONE'"),
            std::string::npos) << run.out;
  EXPECT_NE(run.out.find("bad.aiff: not AIFF"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("five.aiff: 5 channels"), std::string::npos) << run.out;
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
  EXPECT_NE(run.out.find("a.aiff -> " + m_dir.File("a_1.wav")), std::string::npos) << run.out;
  // One line per file, in list order.
  EXPECT_LT(run.out.find("a.aif -> "), run.out.find("a.aiff -> "));
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

TEST_F(CliTest, OutputFolderAndMirror) {
  const std::string source = WriteAiff("music/pop/song.aiff");
  const std::string out = m_dir.File("out");
  CliRun run = Cli("convert -q -f wav -o out music/pop/song.aiff");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(fs::exists(out + "/song.wav"));

  run = Cli("convert -q -f wav -o out --mirror music/pop/song.aiff");
  EXPECT_EQ(run.status, 0) << run.out;
  // Below the output folder, the source's absolute folder path is recreated.
  EXPECT_TRUE(fs::exists(out + fs::path(source).parent_path().string() + "/song.wav")) << run.out;
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
  const CliRun run = Cli("convert -q -f wav broken.aiff good.aiff missing.aiff");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("broken.aiff: Conversion Failure (truncated COMM chunk)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("missing.aiff: Conversion Failure (cannot open file"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(m_dir.File("broken.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("good.wav")));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  WriteAiff("a.aiff");
  for (const char* arguments : {"", "frobnicate a.aiff", "convert", "convert -f ogg a.aiff",
                                "convert --jobs 0 a.aiff", "convert --mirror a.aiff", "convert --gain 5 a.aiff",
                                "convert --wav-bits 24 a.aiff", "convert --bogus a.aiff", "convert --mp3-rate 12345 a.aiff"}) {
    const CliRun run = Cli(arguments);
    if (std::string(arguments).empty()) {
      EXPECT_EQ(run.status, 0);  // no arguments prints the usage
      EXPECT_NE(run.out.find("Usage:"), std::string::npos);
    } else {
      EXPECT_EQ(run.status, 2) << arguments << "\n" << run.out;
    }
  }
  EXPECT_FALSE(fs::exists(m_dir.File("a.wav")));
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

TEST_F(CliTest, WavOptionsConvertRateChannelsAndWidth) {
  WriteAiff("a.aiff", 44100);
  const CliRun run = Cli("convert -q -f wav --wav-rate 22050 --wav-channels 1 --wav-bits 8 a.aiff");
  ASSERT_EQ(run.status, 0) << run.out;
  const Bytes wav = test::ReadFileBytes(m_dir.File("a.wav"));
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav[22], 1);                           // channels
  EXPECT_EQ(wav[24] | (wav[25] << 8), 22050);      // rate
  EXPECT_EQ(wav[34], 8);                           // bits
  // One second of source gives one second of output, within a frame.
  EXPECT_NEAR(static_cast<double>(wav.size() - 44), 22050.0, 1.0);
}

TEST_F(CliTest, InterruptRemovesTheFileInWorkAndExitsWith130) {
  // Five minutes of stereo take seconds to encode, so the interrupt lands inside the first file.
  test::AiffBuilder b;
  b.channels = 2;
  b.frames = 44100 * 300;
  b.sound.resize(static_cast<std::size_t>(b.frames) * 4);
  for (std::size_t i = 0; i < b.sound.size(); ++i) b.sound[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  m_dir.Write("long1.aiff", b.Build());
  m_dir.Write("long2.aiff", b.Build());
  const std::string home = m_dir.File("home");
  fs::create_directories(home);
  std::string out;
  test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && (HOME=" + test::ShellQuote(home) + " " +
                       test::ShellQuote(VELMORA_CLI_PATH) + " convert -q -j 1 long1.aiff long2.aiff & pid=$!; sleep 1; "
                       "kill -INT $pid; wait $pid; echo \"exit=$?\")",
                   &out);
  EXPECT_NE(out.find("exit=130"), std::string::npos) << out;
  // Nothing half-written is left: the file in work is gone, the one after it never started.
  EXPECT_FALSE(fs::exists(m_dir.File("long1.mp3"))) << out;
  EXPECT_FALSE(fs::exists(m_dir.File("long2.mp3"))) << out;
}

}  // namespace
}  // namespace velmora
