#pragma once

#include <optional>
#include <string>

namespace velmora {

// The ID3v1 genre list (the original 80 and the common extensions up to 147).
inline constexpr int kGenreCount = 148;

// The genre's name, or null for numbers outside the list.
const char* GenreName(int genre);
// The number of a genre named case-insensitively, or nothing.
std::optional<int> GenreFromName(const std::string& name);

}  // namespace velmora
