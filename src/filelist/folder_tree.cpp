#include "filelist/folder_tree.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <compare>
#include <set>
#include <string_view>
#include <utility>

#include "platform/file_system.h"
#include "platform/folder_listing.h"

namespace velmora {
namespace {

constexpr std::array<std::string_view, 4> kAiffExtensions = {".aiff", ".aif", ".aifc", ".afc"};
// A folder search takes any extension that begins with these, as ".aiff" and ".aifc" begin
// with ".aif".
constexpr std::string_view kFirstPrefix = ".aif";
constexpr std::string_view kSecondPrefix = ".afc";

std::string LowerExtension(const std::string& path) {
  std::string extension = FileExtension(path);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

class FolderSearch {
 public:
  FolderSearch(std::vector<std::string>& candidates, std::vector<std::string>* unreadable,
               const std::atomic<bool>* stop)
      : m_candidates(candidates), m_unreadable(unreadable), m_stop(stop) {}

  void Search(const std::string& folder) {
    if (m_stop && m_stop->load(std::memory_order_relaxed)) return;
    const auto identity = GetFileIdentity(folder);
    if (identity && !m_seen.insert(*identity).second) return;
    const auto entries = identity ? ListFolder(folder) : std::nullopt;
    if (!entries) {
      if (m_unreadable) m_unreadable->push_back(folder);
      return;
    }

    std::vector<std::string> first, second, linked, subfolders;
    for (const FolderEntry& entry : *entries) {
      const std::string path = JoinPath(folder, entry.name);
      if (entry.type == EntryType::Folder) {
        subfolders.push_back(path);
      } else if (entry.type == EntryType::File) {
        const std::string extension = LowerExtension(entry.name);
        if (extension.starts_with(kFirstPrefix)) first.push_back(path);
        else if (extension.starts_with(kSecondPrefix)) second.push_back(path);
      } else if (entry.type == EntryType::Link) {
        const auto target = ResolveLinkChain(path);
        if (target && target->type == EntryType::File && HasAiffExtension(target->path)) {
          linked.push_back(target->path);
        }
      }
    }
    for (auto* group : {&first, &second, &linked}) {
      m_candidates.insert(m_candidates.end(), group->begin(), group->end());
    }
    for (const std::string& subfolder : subfolders) Search(subfolder);
  }

 private:
  std::vector<std::string>& m_candidates;
  std::vector<std::string>* m_unreadable;
  const std::atomic<bool>* m_stop;
  std::set<FileIdentity> m_seen;
};

}  // namespace

bool HasAiffExtension(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return std::find(kAiffExtensions.begin(), kAiffExtensions.end(), extension) != kAiffExtensions.end();
}

void CollectFolderTree(const std::string& folder, std::vector<std::string>& candidates,
                       std::vector<std::string>* unreadable, const std::atomic<bool>* stop) {
  FolderSearch(candidates, unreadable, stop).Search(folder);
}

void RemoveDuplicateSources(std::vector<std::string>& paths, std::vector<std::uint32_t>* alongside) {
  // Each path's identity beside its place, sorted: a list of a million paths costs a few dozen
  // MB this way, where a tree of them would cost several times that.
  struct Found {
    FileIdentity identity;
    std::size_t index;
    auto operator<=>(const Found&) const = default;
  };
  std::vector<Found> found;
  std::vector<std::size_t> missing;
  found.reserve(paths.size());
  PathLookup lookup;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    struct stat st = {};
    if (lookup.Stat(paths[i], st) == 0) {
      found.push_back({{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}, i});
    } else {
      missing.push_back(i);
    }
  }
  std::vector<char> duplicate(paths.size(), 0);
  std::sort(found.begin(), found.end());
  for (std::size_t i = 1; i < found.size(); ++i) {
    if (found[i].identity == found[i - 1].identity) duplicate[found[i].index] = 1;
  }
  std::stable_sort(missing.begin(), missing.end(), [&](std::size_t a, std::size_t b) { return paths[a] < paths[b]; });
  for (std::size_t i = 1; i < missing.size(); ++i) {
    if (paths[missing[i]] == paths[missing[i - 1]]) duplicate[missing[i]] = 1;
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (duplicate[i]) continue;
    if (kept != i) {
      paths[kept] = std::move(paths[i]);
      if (alongside) (*alongside)[kept] = (*alongside)[i];
    }
    ++kept;
  }
  paths.resize(kept);
  if (alongside) alongside->resize(kept);
}

}  // namespace velmora
