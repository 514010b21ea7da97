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

std::string Id3TagRecord::Text(std::size_t offset, std::size_t size) const {
  const auto* begin = bytes.data() + offset;
  const auto* end = std::find(begin, begin + size, std::uint8_t{0});
  return Latin1ToUtf8(std::string(begin, end));
}

void Id3TagRecord::SetText(std::size_t offset, std::size_t size, const std::string& text) {
  const std::string latin1 = Utf8ToLatin1(text);
  const std::size_t length = std::min(latin1.size(), size - 1);
  std::fill_n(bytes.data() + offset, size, std::uint8_t{0});
  std::copy_n(latin1.data(), length, bytes.data() + offset);
}

}  // namespace velmora
