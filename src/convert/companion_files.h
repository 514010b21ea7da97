#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "convert/file_outcome.h"

namespace velmora {

// The files that travel with an album: the pictures, booklets and notes beside its sources.
// A companion is a regular file (or a link to one, copied as the file it names) whose name
// does not start with a dot and ends, in any case, in one of
//   jpg jpeg png gif webp bmp tif tiff   pdf   txt nfo md rtf
// Cue sheets and playlists are never companions: they name the source files, which the copy
// would not hold. Rip logs are not either: their checksums describe the sources.
bool IsCompanionName(std::string_view name);

// A companion larger than this is left out: nothing of a cover or a booklet is that big, and a
// video or a disk image misnamed as one would fill the output's disk.
inline constexpr std::uint64_t kMaxCompanionBytes = std::uint64_t{512} << 20;

// Copies the companions of each source folder into each folder its outputs go to, once per
// pair of folders in a batch, however many sources and workers there are: one object for one
// batch, safe to call from every worker at once.
class CompanionCopier {
 public:
  // Copies the companions beside `sourcePath` into the folder of `outputPath` (just published,
  // or found there by a skip)
  // unless that folder is the source's own or the pair was done already; an empty note then.
  // A copy is written under a temporary name and takes its final name only when complete,
  // never replacing a file: a companion whose name is taken in the output folder is left
  // alone. Each copy keeps its original's modification time. A `cancel` stops the copying
  // between files and within one; the file in work is removed.
  CompanionNote CopyBeside(const std::string& sourcePath, const std::string& outputPath,
                           const std::atomic<bool>* cancel);

 private:
  std::mutex m_mutex;
  std::set<std::pair<std::string, std::string>> m_done;  // folder identities: source, output
};

}  // namespace velmora
