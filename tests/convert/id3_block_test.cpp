#include "convert/id3_block.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

std::string Field(const Id3Block& block, std::size_t offset, std::size_t size) {
  return std::string(block.begin() + static_cast<std::ptrdiff_t>(offset),
                     block.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

TEST(Id3BlockTest, FieldsSitAtTheirOffsets) {
  const std::string artist35 = "Abcdefghijklmnopqrstuvwxyz123456789";
  const Id3Block block = BuildId3Block("Title", artist35, "Album", "19999", "Note", 255);
  EXPECT_EQ(Field(block, 0, 3), "TAG");
  EXPECT_EQ(Field(block, 3, 30), "Title" + std::string(25, '\0'));
  // A full field has no terminator; the album follows directly.
  EXPECT_EQ(Field(block, 33, 30), artist35.substr(0, 30));
  EXPECT_EQ(Field(block, 63, 30), "Album" + std::string(25, '\0'));
  EXPECT_EQ(Field(block, 93, 4), "1999");
  EXPECT_EQ(Field(block, 97, 30), "Note" + std::string(26, '\0'));
  EXPECT_EQ(block[127], 255);
}

TEST(Id3BlockTest, TextStopsAtEmbeddedNul) {
  const Id3Block block = BuildId3Block(std::string("ab\0cd", 5), "", "", "", "", 17);
  EXPECT_EQ(Field(block, 3, 30), "ab" + std::string(28, '\0'));
  EXPECT_EQ(block[127], 17);
}

TEST(Id3BlockTest, TitleFromFileName) {
  EXPECT_EQ(Id3TitleFromFileName("song.aiff"), "song");
  EXPECT_EQ(Id3TitleFromFileName("song.aif"), "song");
  EXPECT_EQ(Id3TitleFromFileName("/music/live.take2.aifc"), "live.take2");
  EXPECT_EQ(Id3TitleFromFileName("/music.d/noext"), "noext");
  EXPECT_EQ(Id3TitleFromFileName(".hidden"), ".hidden");
  EXPECT_EQ(Id3TitleFromFileName(std::string(40, 'x') + ".aiff"), std::string(30, 'x'));
  // The field holds 30 characters, whatever their UTF-8 length.
  const std::string accented = std::string(29, 'a') + "\xC3\xA9" + "b.aif";
  EXPECT_EQ(Id3TitleFromFileName(accented), std::string(29, 'a') + "\xC3\xA9");
}

}  // namespace
}  // namespace velmora
