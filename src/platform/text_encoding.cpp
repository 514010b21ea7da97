#include "platform/text_encoding.h"

#include <cstdint>

namespace velmora {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the character at `pos` and moves past it; an invalid sequence gives kInvalid and
// moves one byte.
char32_t NextCharacter(const std::string& text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t value = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    value = lead & 0x07;
  } else {
    return kInvalid;
  }
  if (pos + static_cast<std::size_t>(extra) > text.size()) return kInvalid;
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return kInvalid;
    value = (value << 6) | (next & 0x3F);
  }
  pos += static_cast<std::size_t>(extra);
  return value;
}

}  // namespace

bool IsControlCharacter(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string ReplaceControlCharacters(const std::string& utf8, char replacement) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t start = pos;
    const char32_t c = NextCharacter(utf8, pos);
    if (c != kInvalid && IsControlCharacter(c)) out += replacement;
    else out.append(utf8, start, pos - start);
  }
  return out;
}

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string latin1;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = NextCharacter(utf8, pos);
    latin1 += c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
  }
  return latin1;
}

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  for (const char byte : latin1) {
    const auto c = static_cast<unsigned char>(byte);
    if (c < 0x80) {
      utf8 += byte;
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

bool IsValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t extra = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 0;
    if (extra == 0 || text.size() - i <= extra) return false;
    std::uint32_t code = lead & (0x3Fu >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not text.
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[extra] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    i += extra + 1;
  }
  return true;
}

std::size_t Utf8Length(const std::string& utf8) {
  std::size_t chars = 0;
  for (std::size_t pos = 0; pos < utf8.size(); ++chars) NextCharacter(utf8, pos);
  return chars;
}

std::size_t Utf8FittingBytes(std::string_view utf8, std::size_t maxBytes) {
  if (maxBytes >= utf8.size()) return utf8.size();
  // A byte 10xxxxxx continues a character; the cut goes before the byte that starts it.
  while (maxBytes > 0 && (static_cast<unsigned char>(utf8[maxBytes]) & 0xC0) == 0x80) --maxBytes;
  return maxBytes;
}

std::string Utf8Prefix(const std::string& utf8, std::size_t chars) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < chars && pos < utf8.size(); ++n) NextCharacter(utf8, pos);
  return utf8.substr(0, pos);
}

}  // namespace velmora
