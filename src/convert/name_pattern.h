#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audio/source_tags.h"

namespace velmora {

// The pattern that names every output unless the user chooses another: the source's own name.
inline constexpr const char* kDefaultNamePattern = "{name}";

// An output name pattern such as "{artist}/{album}/{track:02} {title}". Fields:
//   {name}    the source's file name without its extension
//   {folder}  the name of the source's folder
//   {path}    the source's folders below its root, the folder the user gave ("Artist/Album" for
//             root/Artist/Album/x.aiff): none for a file given by itself or not below its root.
//             It stands alone as a whole folder level ("{path}/{name}", "a/{path}/b/{name}"),
//             never in the file name nor beside other text; {path|TEXT} gives TEXT where there
//             is no folder. Paths are compared as written, made absolute, without following links.
//   {title} {artist} {album} {year} {genre} {track}  the source's tags; {track:02} pads the
//             track number with zeros to two digits ("3/12" gives "03")
// A missing field takes its fallback: {title} the source's name, {track} 0, the others
// "Unknown Artist", "Unknown Album" and so on; {artist|Various} names its own fallback.
// "/" separates folders made below the output folder.
//
// Every folder and file name the pattern makes is made safe the same way: a "/", a NUL or a
// control character inside a field's value becomes "_", leading dots become "_" (no hidden
// files, no "..") and a name past 255 bytes is cut by whole characters. A folder name that
// comes out empty is left out; a file name that comes out empty is the source's name. The
// default "{name}" alone keeps the source's stem exactly as it is, as outputs were always named.
// Why a pattern was refused; `field` is the text inside the braces of an unknown field. Each
// front end words the kind (the command line's PatternProblemText in cli/outcome_text.h).
struct PatternProblem {
  enum class Kind {
    None, Empty, StartsWithSlash, EndsWithSlash, EmptyOrDotFolder, CloseWithoutOpen, OpenWithoutClose, UnknownField,
    PathNotAFolder,  // {path} beside other text, or as the file name
  };
  Kind kind = Kind::None;
  std::string field;
};

class NamePattern {
 public:
  // The pattern, or nothing with `problem` set: an unknown field, an unbalanced brace, an empty
  // pattern, an absolute path, an empty, "." or ".." folder, a {path} that is not a folder.
  static std::optional<NamePattern> Parse(const std::string& pattern, PatternProblem& problem);

  // Whether the pattern needs the source's tags; without them no tag is read for naming.
  bool UsesTags() const { return m_usesTags; }

  // The output's path below the output folder without its extension: folders joined by "/"
  // and the file name last. `tags` may be null when UsesTags() is false; `root` is the folder
  // the source was found under, empty for a file given by itself.
  std::string Expand(const std::string& sourcePath, const SourceTags* tags, const std::string& root = {}) const;

 private:
  enum class Field { Text, Name, Folder, Path, Title, Artist, Album, Year, Genre, Track, Separator };
  struct Piece {
    Field field = Field::Text;
    std::string text;  // the literal text, or the field's own fallback
    bool hasFallback = false;
    int width = 0;  // zero-padded width of {track:0N}
  };
  std::string Value(const Piece& piece, const std::string& sourcePath, const SourceTags* tags) const;

  std::vector<Piece> m_pieces;
  bool m_usesTags = false;
  bool m_sourceNameOnly = false;  // exactly "{name}": the source's stem unchanged
};

// The pattern of the settings, or the default when the stored one does not parse.
NamePattern NamePatternOrDefault(const std::string& pattern);

}  // namespace velmora
