#include "settings/converter_settings.h"

#include <algorithm>

#include "platform/text_encoding.h"

namespace velmora {

Id3TagRecord::Id3TagRecord() {
  SetTitleFromFileName(true);
  bytes[kGenre] = kNoGenre;
}

bool Id3TagRecord::TitleFromFileName() const {
  return (bytes[0] | bytes[1] | bytes[2] | bytes[3]) != 0;
}

void Id3TagRecord::SetTitleFromFileName(bool on) {
  // A 32-bit little-endian flag.
  bytes[0] = on ? 1 : 0;
  bytes[1] = bytes[2] = bytes[3] = 0;
}

std::size_t Id3TagRecord::Slot(std::size_t offset) {
  return static_cast<std::size_t>(std::find(std::begin(kTextOffsets), std::end(kTextOffsets), offset) -
                                  std::begin(kTextOffsets));
}

std::string Id3TagRecord::Text(std::size_t offset, std::size_t size) const {
  const auto* begin = bytes.data() + offset;
  const auto* end = std::find(begin, begin + size, std::uint8_t{0});
  const std::string stored(begin, end);
  const std::string& typed = m_typed[Slot(offset)];
  if (!typed.empty() && Utf8ToLatin1(typed) == stored) return typed;
  return Latin1ToUtf8(stored);
}

void Id3TagRecord::SetText(std::size_t offset, std::size_t size, const std::string& text) {
  const std::string latin1 = Utf8ToLatin1(text);
  const std::size_t length = std::min(latin1.size(), size - 1);
  std::fill_n(bytes.data() + offset, size, std::uint8_t{0});
  std::copy_n(latin1.data(), length, bytes.data() + offset);
  // Latin-1 holds one byte a character, so the typed text is cut at the same character.
  m_typed[Slot(offset)] = Utf8Prefix(text, length);
}

bool Id3TagRecord::operator==(const Id3TagRecord& other) const {
  return bytes == other.bytes && Title() == other.Title() && Artist() == other.Artist() && Album() == other.Album() &&
         Year() == other.Year() && Comment() == other.Comment();
}

}  // namespace velmora
