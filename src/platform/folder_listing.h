#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class EntryType { File, Folder, Link, Other };

struct FolderEntry {
  std::string name;
  EntryType type;  // of the entry itself: a link is a Link whatever it points to
};

// What makes a folder the same folder when it is reached by two paths (bind mounts, links).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

struct ResolvedLink {
  std::string path;  // the final target; relative targets are taken from their link's folder
  EntryType type;    // File, Folder or Other; never Link
};

// How many links in a row are followed before a chain is taken to be a loop.
inline constexpr int kMaxLinkHops = 8;

// The entries of a folder except "." and "..", sorted by name; nothing when it cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);
// The identity of what `path` names, following links.
std::optional<FileIdentity> GetFileIdentity(const std::string& path);
// The type of `path` itself, not following a link; nothing when it does not exist.
std::optional<EntryType> GetEntryType(const std::string& path);
// Follows a chain of symbolic links starting at `path` to the first thing that is not a link.
// Nothing when `path` is not a link, a target is missing, or the chain is longer than
// kMaxLinkHops.
std::optional<ResolvedLink> ResolveLinkChain(const std::string& path);

}  // namespace velmora
