#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

inline constexpr std::size_t kId3BlockBytes = 128;
using Id3Block = std::array<std::uint8_t, kId3BlockBytes>;

// An ID3v1 tag: "TAG", then title, artist, album (30 bytes each), year (4), comment (30) and
// the genre byte. The texts are UTF-8; each is taken up to its first NUL, written in Latin-1
// (a character outside it becomes '?') and cut to its field. Unused bytes are zero; a text
// filling its field has no terminator.
Id3Block BuildId3Block(const std::string& title, const std::string& artist, const std::string& album,
                       const std::string& year, const std::string& comment, std::uint8_t genre);

// The title a source file's name gives: the name without folder and without the extension
// after its last dot, cut to the 30 characters of the field, in UTF-8 (a name that is not
// UTF-8 is read as ISO-8859-1).
std::string Id3TitleFromFileName(const std::string& fileName);

}  // namespace velmora
