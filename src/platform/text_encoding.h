#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Texts are UTF-8 everywhere in the program; ID3v1 fields (and the stored tag record they are
// edited in) are ISO-8859-1, one byte a character.

// Each character of `utf8` as one Latin-1 byte; characters outside Latin-1 and invalid bytes
// become '?'.
std::string Utf8ToLatin1(const std::string& utf8);
std::string Latin1ToUtf8(const std::string& latin1);

// Whether `text` is well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsValidUtf8(const std::string& text);

// Whether a character steers how the text around it is shown instead of showing itself: C0 and
// C1 controls, DEL, the bidirectional marks, embeddings, overrides and isolates (which can show
// a name reversed), and the line and paragraph separators. Names and terminal lines show none
// of them as they are.
bool IsControlCharacter(char32_t c);
// `utf8` with every control character replaced by `replacement`; invalid bytes stay as they are.
std::string ReplaceControlCharacters(const std::string& utf8, char replacement);

// The number of characters of a UTF-8 text (an invalid byte counts as one).
std::size_t Utf8Length(const std::string& utf8);
// The first `chars` characters of a UTF-8 text, never cutting one in half.
std::string Utf8Prefix(const std::string& utf8, std::size_t chars);
// How many of the first `maxBytes` bytes of a UTF-8 text to keep so that no character is cut in
// half: all of them when the text is no longer, else up to the start of the character that
// `maxBytes` falls inside.
std::size_t Utf8FittingBytes(std::string_view utf8, std::size_t maxBytes);

}  // namespace velmora
