#include "convert/id3_block.h"

#include <algorithm>
#include <cstring>

#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

constexpr std::size_t kTextBytes = 30;
constexpr std::size_t kYearBytes = 4;
constexpr std::size_t kTitleAt = 3;
constexpr std::size_t kArtistAt = 33;
constexpr std::size_t kAlbumAt = 63;
constexpr std::size_t kYearAt = 93;
constexpr std::size_t kCommentAt = 97;
constexpr std::size_t kGenreAt = 127;

void CopyField(Id3Block& block, std::size_t offset, std::size_t size, const std::string& utf8) {
  const std::string text = Utf8ToLatin1(utf8.substr(0, std::strlen(utf8.c_str())));
  const std::size_t length = std::min(text.size(), size);
  std::copy_n(text.begin(), length, block.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

Id3Block BuildId3Block(const std::string& title, const std::string& artist, const std::string& album,
                       const std::string& year, const std::string& comment, std::uint8_t genre) {
  Id3Block block{};
  block[0] = 'T';
  block[1] = 'A';
  block[2] = 'G';
  CopyField(block, kTitleAt, kTextBytes, title);
  CopyField(block, kArtistAt, kTextBytes, artist);
  CopyField(block, kAlbumAt, kTextBytes, album);
  CopyField(block, kYearAt, kYearBytes, year);
  CopyField(block, kCommentAt, kTextBytes, comment);
  block[kGenreAt] = genre;
  return block;
}

std::string Id3TitleFromFileName(const std::string& fileName) {
  // The same stem as the output file's name. A name that is not UTF-8 was most likely made
  // under an 8-bit character set, and is read as ISO-8859-1.
  std::string stem = OutputStem(FileNamePart(fileName));
  if (!IsValidUtf8(stem)) stem = Latin1ToUtf8(stem);
  return Utf8Prefix(stem, kTextBytes);
}

}  // namespace velmora
