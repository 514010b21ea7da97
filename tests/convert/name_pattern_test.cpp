#include "convert/name_pattern.h"

#include <gtest/gtest.h>

#include "cli/outcome_text.h"

namespace velmora {
namespace {

using cli::PatternProblemText;

std::string Expand(const std::string& pattern, const std::string& source, const SourceTags& tags) {
  PatternProblem problem;
  const auto parsed = NamePattern::Parse(pattern, problem);
  EXPECT_TRUE(parsed) << pattern << ": " << PatternProblemText(problem);
  return parsed ? parsed->Expand(source, &tags) : std::string();
}

const char kEveryField[] = "{artist}/{album}/{track:02} {title} {year} {genre} [{folder}] {name} {track}";

TEST(NamePatternTest, EveryFieldFromTheTagsAndEachFallbackWhenTheyAreMissing) {
  SourceTags tags;
  tags.title = "Song";
  tags.artist = "Ann Smith";
  tags.album = "Best Of";
  tags.year = "1999";
  tags.genre = "Pop";
  tags.track = "3/12";
  EXPECT_EQ(Expand(kEveryField, "/music/Pop Hits/02 take.aiff", tags),
            "Ann Smith/Best Of/03 Song 1999 Pop [Pop Hits] 02 take 3");
  EXPECT_EQ(Expand(kEveryField, "/music/Pop Hits/02 take.aiff", SourceTags{}),
            "Unknown Artist/Unknown Album/00 02 take Unknown Year Unknown Genre [Pop Hits] 02 take 0");
  // A fallback of one's own; an empty one leaves a folder out and a file name to the source's.
  EXPECT_EQ(Expand("{artist|Various}/{album|}/{title|}", "/m/x.aif", SourceTags{}), "Various/x");
  EXPECT_EQ(Expand("{artist|Various}/{track:03}", "/m/x.aif", tags), "Ann Smith/003");
  // The default keeps the source's own stem exactly, a leading dot included.
  EXPECT_EQ(Expand("{name}", "/m/.hidden.aiff", tags), ".hidden");
}

TEST(NamePatternTest, ValuesCannotEscapeHideOrOverrunTheNameLimit) {
  SourceTags tags;
  tags.artist = "../..";
  tags.album = ".hidden";
  tags.title = std::string("a/b\x01" "c\x7F");
  std::string longTitle;
  for (int i = 0; i < 200; ++i) longTitle += "\xC3\xA9";  // 400 bytes of two-byte characters
  EXPECT_EQ(Expand("{artist}/{album}/{title}", "/m/x.aiff", tags), "___../_hidden/a_b_c_");
  // C1 controls, bidirectional overrides, isolates and marks, and line separators could show a
  // name reversed or split: each becomes "_". A value of spaces alone falls back as an empty one.
  tags.artist = "  ";
  tags.album = "\xC2\x85" "A\xE2\x80\xAE" "B\xE2\x81\xA6" "C\xE2\x81\xA9" "D\xE2\x80\x8E\xE2\x80\x8F\xE2\x80\xA8\xE2\x80\xA9";
  EXPECT_EQ(Expand("{artist}/{album}/{name}", "/m/x.aiff", tags), "Unknown Artist/_A_B_C_D____/x");
  // Dots the pattern puts first are made safe the same way.
  EXPECT_EQ(Expand(".{name}", "/m/x.aiff", tags), "_x");
  tags.title = longTitle;
  const std::string cut = Expand("{title}", "/m/x.aiff", tags);
  EXPECT_EQ(cut.size(), 254u);
  EXPECT_EQ(cut, longTitle.substr(0, 254));
}

// {path} is the source's folder below the folder the user gave, each level made safe like any
// folder name; nothing for a file by itself, in the root itself, or outside the root.
TEST(NamePatternTest, PathRecreatesTheFoldersBelowTheRootAndNeverClimbsOut) {
  struct Case {
    const char* pattern;
    const char* source;
    const char* root;
    const char* expanded;
  };
  const Case cases[] = {
      {"{path}/{name}", "/in/Artist/Album/one.aiff", "/in", "Artist/Album/one"},
      {"{path}/{name}", "/in/Artist/Album/one.aiff", "/in/", "Artist/Album/one"},
      {"{path}/{name}", "/in/Artist/Album/one.aiff", "/in/Artist", "Album/one"},
      {"{path}/{name}", "/in/one.aiff", "/in", "one"},
      {"{path}/{name}", "/in/Artist/one.aiff", "", "one"},
      {"{path}/{name}", "/elsewhere/Artist/one.aiff", "/in", "one"},
      {"{path}/{name}", "/input/Artist/one.aiff", "/in", "one"},  // a name that begins alike
      {"{path}/{name}", "/in/../out/Artist/one.aiff", "/in", "one"},
      {"{path}/{name}", "/in/./A/../B/one.aiff", "/in/.", "B/one"},
      {"{path}/{name}", "/in/.hidden/" "[2J/one.aiff", "/in", "_hidden/_[2J/one"},
      {"{path}/{name}", "/in/..x/one.aiff", "/in", "__x/one"},
      {"out/{path}/by {artist}/{name}", "/in/A/B/one.aiff", "/in", "out/A/B/by Ann/one"},
      {"{path|Loose}/{name}", "/m/one.aiff", "", "Loose/one"},
      {"{path|Loose}/{name}", "/in/A/one.aiff", "/in", "A/one"},
  };
  SourceTags tags;
  tags.artist = "Ann";
  for (const Case& c : cases) {
    PatternProblem problem;
    const auto parsed = NamePattern::Parse(c.pattern, problem);
    ASSERT_TRUE(parsed) << c.pattern;
    EXPECT_EQ(parsed->Expand(c.source, &tags, c.root), c.expanded) << c.pattern << " " << c.source << " " << c.root;
  }
  // A relative source and root are compared as the same absolute paths.
  PatternProblem problem;
  EXPECT_EQ(NamePattern::Parse("{path}/{name}", problem)->Expand("in/A/one.aiff", nullptr, "./in"), "A/one");
  EXPECT_FALSE(NamePattern::Parse("{path}/{name}", problem)->UsesTags());
}

TEST(NamePatternTest, InvalidPatternsAreRefusedWithTheirReason) {
  const std::pair<const char*, const char*> refused[] = {
      {"", "empty"},
      {"{bogus}", "unknown field {bogus}"},
      {"{track:2}", "unknown field {track:2}"},
      {"{name", "'{' without its '}'"},
      {"{na{me}", "'{' without its '}'"},
      {"name}", "'}' without its '{'"},
      {"/abs/{name}", "must not start with '/'"},
      {"../{name}", "'..' folder"},
      {"a/./{name}", "'..' folder"},
      {"a//{name}", "empty"},
      {"{artist}/", "must end with a file name"},
      {"{path}", "{path} a whole folder"},
      {"{path}/{path}{name}", "{path} a whole folder"},
      {"a{path}/{name}", "{path} a whole folder"},
      {"{path} {artist}/{name}", "{path} a whole folder"},
      {"{path:02}/{name}", "unknown field {path:02}"},
  };
  for (const auto& [pattern, reason] : refused) {
    PatternProblem problem;
    EXPECT_FALSE(NamePattern::Parse(pattern, problem)) << pattern;
    const std::string error = PatternProblemText(problem);
    EXPECT_NE(error.find(reason), std::string::npos) << pattern << ": " << error;
  }
  PatternProblem problem;
  EXPECT_FALSE(NamePattern::Parse("{name}", problem)->UsesTags());
  EXPECT_FALSE(NamePattern::Parse("{folder}/{name}", problem)->UsesTags());
  EXPECT_TRUE(NamePattern::Parse("{name} {year}", problem)->UsesTags());
  // A stored pattern that does not parse names outputs as the default does.
  EXPECT_EQ(NamePatternOrDefault("{bogus}").Expand("/m/x.aiff", nullptr), "x");
}

}  // namespace
}  // namespace velmora
