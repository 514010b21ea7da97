#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/file_system.h"

namespace velmora {
namespace {

EntryType TypeOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryType::File;
  if (S_ISDIR(mode)) return EntryType::Folder;
  if (S_ISLNK(mode)) return EntryType::Link;
  return EntryType::Other;
}

std::optional<std::string> ReadLink(const std::string& path) {
  std::error_code error;
  const auto target = std::filesystem::read_symlink(path, error);
  if (error) return std::nullopt;
  return target.string();
}

// "a/sub/../b.aif" names a/b.aif unless "sub" is itself a link; keep the tidy form only when it
// names the same file.
std::string Tidy(const std::string& path) {
  const std::string tidy = std::filesystem::path(path).lexically_normal().string();
  if (tidy == path) return path;
  const auto original = GetFileIdentity(path);
  return original && GetFileIdentity(tidy) == original ? tidy : path;
}

}  // namespace

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return std::nullopt;
  const int dirFd = ::dirfd(dir);
  std::vector<FolderEntry> entries;
  // readdir is safe on a stream of our own; only a stream shared between threads would race.
  while (const dirent* entry = ::readdir(dir)) {  // NOLINT(concurrency-mt-unsafe)
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st = {};
    // d_type is not filled in on every file system; ask for the entry itself.
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    entries.push_back({name, TypeOf(st.st_mode)});
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

std::optional<FileIdentity> GetFileIdentity(const std::string& path) {
  struct stat st = {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<EntryType> GetEntryType(const std::string& path) {
  struct stat st = {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return TypeOf(st.st_mode);
}

std::optional<ResolvedLink> ResolveLinkChain(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
    const auto type = GetEntryType(current);
    if (!type) return std::nullopt;
    if (*type != EntryType::Link) {
      if (hops == 0) return std::nullopt;
      return ResolvedLink{Tidy(current), *type};
    }
    const auto target = ReadLink(current);
    if (!target || target->empty()) return std::nullopt;
    current = target->front() == '/' ? *target : FolderPart(current) + *target;
  }
  return std::nullopt;
}

}  // namespace velmora
