#include "convert/id3_block.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/converter_settings.h"

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

TEST(Id3BlockTest, TextsAreLatin1CutByCharacterAndStopAtANul) {
  const Id3Block block = BuildId3Block(std::string("ab\0cd", 5), "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC",
                                       std::string(29, 'x') + "\xC3\xBC" + "tail", "", "", 17);
  EXPECT_EQ(Field(block, 3, 30), "ab" + std::string(28, '\0'));
  // UTF-8 becomes one Latin-1 byte a character; what Latin-1 lacks becomes '?'.
  EXPECT_EQ(Field(block, 33, 7), "Caf\xE9 ??");
  // 30 characters fit the field even when their UTF-8 form is longer.
  EXPECT_EQ(Field(block, 63, 30), std::string(29, 'x') + "\xFC");
  EXPECT_EQ(block[127], 17);

  // The stored tag record holds Latin-1 too; the text as typed stays beside it for the run,
  // while a record loaded from the stored bytes alone gives their Latin-1 back as UTF-8.
  Id3TagRecord record;
  record.SetArtist("Caf\xC3\xA9 \xE6\x97\xA5");
  EXPECT_EQ(record.bytes[36 + 3], 0xE9);
  EXPECT_EQ(record.Artist(), "Caf\xC3\xA9 \xE6\x97\xA5");
  Id3TagRecord loaded;
  loaded.bytes = record.bytes;
  EXPECT_EQ(loaded.Artist(), "Caf\xC3\xA9 ?");
  record.bytes[36] = 'X';  // bytes changed behind the typed text: the bytes count
  EXPECT_EQ(record.Artist(), "Xaf\xC3\xA9 ?");
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
