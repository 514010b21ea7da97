// The --report of the command line: the real binary, real files, each line read back as JSON.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLatin1String>
#include <QString>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/aiff_builder.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::AiffBuilder;
using test::Bytes;

class ReportTest : public ::testing::Test {
 protected:
  // Runs velmora-cli in the test's folder with its own home; returns the exit status and fills
  // `out` and `err`.
  int Cli(const std::string& arguments, std::string& out, std::string& err) {
    const std::string home = m_dir.File("home");
    fs::create_directories(home);
    const std::string errFile = m_dir.File("stderr.txt");
    const int status = test::RunCommand("cd " + test::ShellQuote(m_dir.path().string()) + " && env HOME=" +
                                            test::ShellQuote(home) + " XDG_CONFIG_HOME=" + test::ShellQuote(home + "/.config") +
                                            " timeout 60 " + test::ShellQuote(VELMORA_CLI_PATH) + " " + arguments +
                                            " </dev/null 2>" + test::ShellQuote(errFile),
                                        &out);
    const Bytes bytes = test::ReadFileBytes(errFile);
    err.assign(bytes.begin(), bytes.end());
    fs::remove(errFile);
    return status;
  }

  std::string WriteAiff(const std::string& name, int frames) {
    return m_dir.Write(name, test::StereoStepAiff(frames));
  }

  test::TempDir m_dir;
};

// A field of a report line: its text, "null", or a number's digits.
std::string Field(const QJsonObject& object, const char* key) {
  const QJsonValue value = object.value(QLatin1String(key));
  if (value.isNull()) return "null";
  if (value.isDouble()) return std::to_string(value.toDouble());
  return value.toString().toStdString();
}

// Each line of `text` as a JSON object, by its "source" (as Qt reads it: what is not UTF-8 as
// U+FFFD); a line that is not a JSON object fails the test, and so does a second line for a source.
std::map<std::string, QJsonObject> Lines(const std::string& text) {
  std::map<std::string, QJsonObject> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    EXPECT_TRUE(document.isObject()) << line;
    const std::string source = Field(document.object(), "source");
    EXPECT_FALSE(lines.contains(source)) << "two lines for " << line;
    lines[source] = document.object();
  }
  return lines;
}

// A batch with a converted file, one converted short, one with its tags left out, a skipped and
// two failed ones gives one line each, with what the terminal says of it; the report is appended
// to, and with '-' it is all of stdout while the terminal's lines go to stderr.
TEST_F(ReportTest, EachSourceGetsOneLineWithItsOutcome) {
  WriteAiff("good.aiff", 44100);
  const Bytes whole = test::ReadFileBytes(WriteAiff("short.aiff", 1000));
  m_dir.Write("short.aiff", Bytes(whole.begin(), whole.end() - 2400));
  Bytes id3 = test::Id3v23Tag({test::Id3v23Frame("TIT2", {0, 'b', 'i', 'g'})});
  id3.resize(std::size_t{17} << 20);
  m_dir.Write("tagged.aiff", test::TaggedAiff({test::TextChunk("AUTH", "Ann")}, {test::Chunk("ID3 ", id3)}));
  WriteAiff("done.aiff", 100);
  m_dir.Write("done.mp3", {'m', 'i', 'n', 'e'});
  m_dir.Write("broken.aiff", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M', 0, 0, 0, 18});
  const std::string earlier = "{\"source\":\"from an earlier run\"}\n";
  m_dir.Write("report.jsonl", Bytes(earlier.begin(), earlier.end()));

  std::string out, err;
  const std::string sources = " good.aiff short.aiff tagged.aiff done.aiff broken.aiff missing.aiff";
  EXPECT_EQ(Cli("convert -q -j 2 --skip-existing --report report.jsonl" + sources, out, err), 1) << err;
  const Bytes bytes = test::ReadFileBytes(m_dir.File("report.jsonl"));
  const std::string report(bytes.begin(), bytes.end());
  ASSERT_TRUE(report.starts_with(earlier));
  const auto lines = Lines(report.substr(earlier.size()));
  ASSERT_EQ(lines.size(), 6u) << report;

  struct Expected {
    const char* source;
    const char* outcome;
    std::string output, reason;
    double duration;  // negative: null
    const char* noteKind;  // the one note, or none
  };
  const std::vector<Expected> expected = {
      {"good.aiff", "converted", m_dir.File("good.mp3"), "null", 1.0, nullptr},
      {"short.aiff", "converted", m_dir.File("short.mp3"), "source ends early: 400 of 1,000 frames", 1000 / 44100.0,
       nullptr},
      {"tagged.aiff", "converted", m_dir.File("tagged.mp3"), "null", 0.1, "id3_chunk_too_large"},
      {"done.aiff", "skipped", "null", m_dir.File("done.mp3") + " exists", 100 / 44100.0, nullptr},
      {"broken.aiff", "failed", "null", "truncated COMM chunk", -1, nullptr},
      {"missing.aiff", "failed", "null", "cannot open file: No such file or directory", -1, nullptr},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.source);
    ASSERT_TRUE(lines.contains(e.source));
    const QJsonObject line = lines.at(e.source);
    EXPECT_EQ(Field(line, "format"), "mp3");
    EXPECT_EQ(Field(line, "outcome"), e.outcome);
    EXPECT_EQ(Field(line, "output"), e.output);
    EXPECT_EQ(Field(line, "reason"), e.reason);
    EXPECT_EQ(Field(line, "loudness"), "null");
    const QJsonValue duration = line.value(QLatin1String("duration_s"));
    if (e.duration < 0) {
      EXPECT_TRUE(duration.isNull());
    } else {
      EXPECT_NEAR(duration.toDouble(-1), e.duration, 1e-6);
    }
    EXPECT_GE(line.value(QLatin1String("seconds")).toDouble(-1), 0.0);
    const QJsonArray notes = line.value(QLatin1String("notes")).toArray();
    ASSERT_EQ(notes.size(), e.noteKind ? 1 : 0) << QJsonDocument(notes).toJson().toStdString();
    if (e.noteKind) {
      EXPECT_EQ(Field(notes[0].toObject(), "kind"), e.noteKind);
      EXPECT_EQ(notes[0].toObject().value(QLatin1String("count")).toInt(), 1);
    }
  }

  // Once more as WAV, normalised, with the report on stdout and the terminal's lines on stderr.
  EXPECT_EQ(Cli("convert -q -f wav --normalize -16 --report -" + sources, out, err), 1) << err;
  const auto again = Lines(out);
  ASSERT_EQ(again.size(), 6u) << out;
  const QJsonObject good = again.at("good.aiff");
  EXPECT_EQ(Field(good, "format"), "wav");
  EXPECT_EQ(Field(good, "output"), m_dir.File("good.wav"));
  const QJsonObject loudness = good.value(QLatin1String("loudness")).toObject();
  const std::string kind = Field(loudness, "kind");
  EXPECT_TRUE(kind == "reached" || kind == "held_by_ceiling") << out;
  EXPECT_LE(loudness.value(QLatin1String("value")).toDouble(0), -16.0) << out;
  EXPECT_NE(err.find("good.aiff -> " + m_dir.File("good.wav") + " ("), std::string::npos) << err;
  EXPECT_NE(err.find("broken.aiff: failed (truncated COMM chunk)\n"), std::string::npos) << err;

  // A report that cannot be opened stops the run before anything is written.
  fs::create_directories(m_dir.File("folder"));
  EXPECT_EQ(Cli("convert -q -f flac --report folder good.aiff", out, err), 2);
  EXPECT_NE(err.find("--report: cannot write folder: Is a directory"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(m_dir.File("good.flac")));
}

// Names with a line break, quotes, backslashes, a control character or bytes that are not UTF-8
// still give one valid JSON line each; such a name's exact bytes are in `source_hex`.
TEST_F(ReportTest, HostileNamesGiveValidLines) {
  const std::vector<std::string> names = {"two\nlines.aiff", "say \"hi\".aiff", "back\\slash.aiff", "bell\x07.aiff",
                                          "latin1 caf\xE9.aiff", "cut \xE2\x82.aiff", "caf\xC3\xA9 \xF0\x9F\x8E\xB5.aiff"};
  std::string arguments = "convert -q -f wav --report report.jsonl";
  for (const std::string& name : names) {
    WriteAiff(name, 100);
    arguments += " " + test::ShellQuote(name);
  }
  std::string out, err;
  ASSERT_EQ(Cli(arguments, out, err), 0) << err;
  const Bytes bytes = test::ReadFileBytes(m_dir.File("report.jsonl"));
  // Each line by the source's exact name: its bytes in hexadecimal where they are not UTF-8.
  const auto hex = [](const QJsonObject& line, const char* key) {
    return QByteArray::fromHex(QByteArray::fromStdString(Field(line, key))).toStdString();
  };
  std::map<std::string, QJsonObject> lines;
  for (const auto& [source, line] : Lines(std::string(bytes.begin(), bytes.end()))) {
    lines[line.contains(QLatin1String("source_hex")) ? hex(line, "source_hex") : source] = line;
  }
  ASSERT_EQ(lines.size(), names.size());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(lines.contains(name));
    const QJsonObject line = lines.at(name);
    EXPECT_EQ(Field(line, "outcome"), "converted");
    const bool valid = QString::fromUtf8(name).toStdString() == name;
    EXPECT_EQ(line.contains(QLatin1String("source_hex")), !valid);
    EXPECT_EQ(line.contains(QLatin1String("output_hex")), !valid);
    // What is not UTF-8 reads as U+FFFD.
    EXPECT_EQ(Field(line, "source").find("\xEF\xBF\xBD") != std::string::npos, !valid);
    const std::string output = valid ? Field(line, "output") : hex(line, "output_hex");
    EXPECT_TRUE(fs::exists(output)) << output;
    EXPECT_EQ(fs::path(output).parent_path(), m_dir.path());
  }
}

}  // namespace
}  // namespace velmora
