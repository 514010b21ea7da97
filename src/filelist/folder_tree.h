#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// True for the extensions Velmora opens as AIFF by name: .aiff .aif .aifc .afc, in any case.
bool HasAiffExtension(const std::string& path);

// Appends the AIFF candidates of `folder` and every folder below it. Folders are searched
// depth-first, each before its subfolders, entries in name order. Within a folder come the
// files whose extension begins with "aif", then those beginning with "afc", then the targets
// of links that lead to a file with an AIFF extension. Links to folders are not entered, and a
// folder reached twice (a bind mount of an ancestor) is searched once. Unreadable folders add
// nothing; each is appended to `unreadable` when given. Once `stop` (when given) is set, the
// search ends before the next folder with what it found so far.
void CollectFolderTree(const std::string& folder, std::vector<std::string>& candidates,
                       std::vector<std::string>* unreadable = nullptr, const std::atomic<bool>* stop = nullptr);

// Keeps the first of the paths that name the same file (named twice, as "a.aif" and "./a.aif",
// or reached through a link); paths that name nothing are compared as text. `alongside`, when
// given, holds one value per path (the command line's root of each) and keeps the same places.
void RemoveDuplicateSources(std::vector<std::string>& paths, std::vector<std::uint32_t>* alongside = nullptr);

}  // namespace velmora
