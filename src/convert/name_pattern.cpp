#include "convert/name_pattern.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

// The longest file or folder name most file systems take.
constexpr std::size_t kMaxNameBytes = 255;

std::string Digits(const std::string& text) {
  std::size_t end = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return text.substr(0, end);
}

// A folder or file name that cannot escape or hide: control characters, C1 and bidirectional
// ones included, become "_" (a "/" inside a value already has), leading dots become "_", and a
// name past kMaxNameBytes is cut by whole UTF-8 characters.
std::string SafeName(std::string name) {
  name = ReplaceControlCharacters(name, '_');
  for (char& c : name) {
    if (c != '.') break;
    c = '_';
  }
  name.resize(Utf8FittingBytes(name, kMaxNameBytes));
  return name;
}

// The folder names from `root` down to the source's folder, both made absolute and compared
// name by name as written; none when `root` is empty or the source is not below it.
std::vector<std::string> FoldersBelowRoot(const std::string& sourcePath, const std::string& root) {
  if (root.empty()) return {};
  const auto split = [](const std::string& path) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start < path.size();) {
      const std::size_t end = std::min(path.find('/', start), path.size());
      if (end > start) names.push_back(path.substr(start, end - start));
      start = end + 1;
    }
    return names;
  };
  std::vector<std::string> folders = split(FolderPart(AbsolutePath(sourcePath)));
  const std::vector<std::string> top = split(AbsolutePath(root));
  if (top.size() > folders.size() || !std::equal(top.begin(), top.end(), folders.begin())) return {};
  folders.erase(folders.begin(), folders.begin() + static_cast<std::ptrdiff_t>(top.size()));
  return folders;
}

}  // namespace

std::optional<NamePattern> NamePattern::Parse(const std::string& pattern, PatternProblem& problem) {
  using Kind = PatternProblem::Kind;
  const auto refuse = [&problem](Kind kind, std::string field = {}) {
    problem = {kind, std::move(field)};
    return std::nullopt;
  };
  static const std::pair<const char*, Field> kFields[] = {
      {"name", Field::Name},   {"folder", Field::Folder}, {"path", Field::Path},   {"title", Field::Title},
      {"artist", Field::Artist}, {"album", Field::Album},   {"year", Field::Year},   {"genre", Field::Genre},
      {"track", Field::Track},
  };
  NamePattern result;
  if (pattern.empty()) return refuse(Kind::Empty);
  if (pattern.front() == '/') return refuse(Kind::StartsWithSlash);

  // Each folder of the pattern must name something: not empty, not "." or "..". {path} makes
  // folders of its own, so it is a whole folder and never the file name.
  std::string literal;  // the component's text, when it has no field
  bool componentHasField = false;
  int componentPieces = 0;
  bool componentHasPath = false;
  auto endComponent = [&](bool last) {
    if (componentHasPath && (last || componentPieces > 1)) {
      problem.kind = Kind::PathNotAFolder;
      return false;
    }
    if (!componentHasField && (literal.empty() || literal == "." || literal == "..")) {
      problem.kind = last && literal.empty() ? Kind::EndsWithSlash : Kind::EmptyOrDotFolder;
      return false;
    }
    literal.clear();
    componentHasField = false;
    componentPieces = 0;
    componentHasPath = false;
    return true;
  };

  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '}') return refuse(Kind::CloseWithoutOpen);
    if (c == '/') {
      if (!endComponent(false)) return std::nullopt;
      result.m_pieces.push_back({Field::Separator, {}, false, 0});
      continue;
    }
    if (c != '{') {
      literal += c;
      if (result.m_pieces.empty() || result.m_pieces.back().field != Field::Text) {
        result.m_pieces.push_back({});
        ++componentPieces;
      }
      result.m_pieces.back().text += c;
      continue;
    }
    const std::size_t close = pattern.find_first_of("{}", i + 1);
    if (close == std::string::npos || pattern[close] != '}') {
      return refuse(Kind::OpenWithoutClose);
    }
    const std::string inside = pattern.substr(i + 1, close - i - 1);
    i = close;
    Piece piece;
    std::string name = inside;
    if (const std::size_t bar = inside.find('|'); bar != std::string::npos) {
      name = inside.substr(0, bar);
      piece.text = inside.substr(bar + 1);
      piece.hasFallback = true;
    }
    if (name.starts_with("track:0") && name.size() == 8 && name[7] >= '1' && name[7] <= '9') {
      piece.width = name[7] - '0';
      name = "track";
    }
    const auto* found = std::find_if(std::begin(kFields), std::end(kFields),
                                     [&](const auto& field) { return name == field.first; });
    if (found == std::end(kFields)) {
      return refuse(Kind::UnknownField, inside);
    }
    piece.field = found->second;
    result.m_usesTags = result.m_usesTags || (piece.field != Field::Name && piece.field != Field::Folder &&
                                              piece.field != Field::Path);
    componentHasField = true;
    componentHasPath = componentHasPath || piece.field == Field::Path;
    ++componentPieces;
    result.m_pieces.push_back(std::move(piece));
  }
  if (!endComponent(true)) return std::nullopt;
  result.m_sourceNameOnly = pattern == kDefaultNamePattern;
  return result;
}

std::string NamePattern::Value(const Piece& piece, const std::string& sourcePath, const SourceTags* tags) const {
  const std::string path = AbsolutePath(sourcePath);
  std::string stem = OutputStem(FileNamePart(path));
  std::string value;
  std::string unknown;  // what stands for a value that is missing
  switch (piece.field) {
    case Field::Text:
    case Field::Separator:
    case Field::Path: return piece.text;  // {path} makes its folders in Expand
    case Field::Name: return stem;
    case Field::Folder: {
      std::string folder = FolderPart(path);
      while (!folder.empty() && folder.back() == '/') folder.pop_back();
      value = FileNamePart(folder);
      unknown = "Unknown Folder";
      break;
    }
    case Field::Title:
      value = tags ? tags->title : std::string();
      unknown = stem;
      break;
    case Field::Artist:
      value = tags ? tags->artist : std::string();
      unknown = "Unknown Artist";
      break;
    case Field::Album:
      value = tags ? tags->album : std::string();
      unknown = "Unknown Album";
      break;
    case Field::Year:
      value = tags ? tags->year : std::string();
      unknown = "Unknown Year";
      break;
    case Field::Genre:
      value = tags ? tags->genre : std::string();
      unknown = "Unknown Genre";
      break;
    case Field::Track:
      value = tags ? Digits(tags->track) : std::string();
      unknown = "0";
      break;
  }
  // A value of spaces alone would make a name nobody can see: it falls back as an empty one.
  if (value.find_first_not_of(' ') == std::string::npos) {
    if (piece.hasFallback) return piece.text;
    value = std::move(unknown);
  }
  if (piece.field == Field::Track && value.size() < static_cast<std::size_t>(piece.width)) {
    value.insert(0, static_cast<std::size_t>(piece.width) - value.size(), '0');
  }
  return value;
}

std::string NamePattern::Expand(const std::string& sourcePath, const SourceTags* tags, const std::string& root) const {
  std::string stem = OutputStem(FileNamePart(AbsolutePath(sourcePath)));
  if (m_sourceNameOnly) return stem;
  std::vector<std::string> names(1);
  for (const Piece& piece : m_pieces) {
    if (piece.field == Field::Separator) {
      names.emplace_back();
      continue;
    }
    if (piece.field == Field::Path) {
      // A whole folder level of the pattern: each folder below the root becomes one name.
      std::vector<std::string> folders = FoldersBelowRoot(sourcePath, root);
      if (folders.empty() && piece.hasFallback) {
        folders.push_back(piece.text);
        std::replace(folders.back().begin(), folders.back().end(), '/', '_');
      }
      for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i > 0) names.emplace_back();
        names.back() = std::move(folders[i]);
      }
      continue;
    }
    std::string value = Value(piece, sourcePath, tags);
    // Only the pattern's own "/" makes folders.
    if (piece.field != Field::Text) std::replace(value.begin(), value.end(), '/', '_');
    names.back() += value;
  }
  std::string path;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    if (const std::string folder = SafeName(names[i]); !folder.empty()) path += folder + '/';
  }
  const std::string file = SafeName(names.back());
  return path + (file.empty() ? SafeName(stem) : file);
}

NamePattern NamePatternOrDefault(const std::string& pattern) {
  PatternProblem problem;
  if (auto parsed = NamePattern::Parse(pattern, problem)) return std::move(*parsed);
  return *NamePattern::Parse(kDefaultNamePattern, problem);
}

}  // namespace velmora
