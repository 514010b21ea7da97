#include "convert/companion_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/output_file.h"

namespace velmora {
namespace {

constexpr std::string_view kCompanionExtensions[] = {".jpg",  ".jpeg", ".png", ".gif", ".webp", ".bmp", ".tif",
                                                     ".tiff", ".pdf",  ".txt", ".nfo", ".md",   ".rtf"};

// Large enough that a cover takes one read, small enough to check for a Cancel often.
constexpr std::size_t kCopyChunkBytes = std::size_t{1} << 20;

enum class CopyResult { Copied, Present, TooLarge, Failed, NotRegular, Cancelled };

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return m_fd; }

 private:
  int m_fd;
};

// Copies `from` to the free name `to` through a temporary file.
CopyResult CopyOne(const std::string& from, const std::string& to, const std::atomic<bool>* cancel, int& error) {
  // Looked at first, so that a run over a converted library again reads no companion.
  if (FileExists(to)) return CopyResult::Present;
  // A link is followed only to a regular file: opening a pipe would wait, and a device may act
  // on being opened.
  struct stat st = {};
  if (::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return CopyResult::NotRegular;
  const Descriptor in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (in.Get() < 0) {
    error = errno;
    return CopyResult::Failed;
  }
  // What was opened may have been replaced after the look.
  if (::fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return CopyResult::NotRegular;
  if (static_cast<std::uint64_t>(st.st_size) > kMaxCompanionBytes) return CopyResult::TooLarge;
  OutputFile out;  // removed unless published
  if (!out.CreateTemporary(to)) {
    error = out.Error();
    return CopyResult::Failed;
  }
  std::vector<std::uint8_t> buffer(
      std::min<std::size_t>(kCopyChunkBytes, std::max<std::size_t>(static_cast<std::size_t>(st.st_size), 1)));
  std::uint64_t copied = 0;
  while (true) {
    if (Cancelled(cancel)) return CopyResult::Cancelled;
    const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = errno;
      return CopyResult::Failed;
    }
    if (got == 0) break;
    // A file still growing is held to the bound it was measured against.
    copied += static_cast<std::uint64_t>(got);
    if (copied > kMaxCompanionBytes) return CopyResult::TooLarge;
    if (!out.Write(buffer.data(), static_cast<std::size_t>(got))) {
      error = out.Error();
      return CopyResult::Failed;
    }
  }
  if (!out.Close()) {
    error = out.Error();
    return CopyResult::Failed;
  }
  // A cover's date tells when it was scanned or fetched; the copy keeps it. A file system that
  // keeps no dates still gets the copy.
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, out.TemporaryPath().c_str(), times, 0);
  switch (out.Publish(to)) {
    case OutputFile::PublishResult::Published: return CopyResult::Copied;
    case OutputFile::PublishResult::Exists: return CopyResult::Present;
    case OutputFile::PublishResult::Failed: break;
  }
  error = out.Error();
  return CopyResult::Failed;
}

}  // namespace

bool IsCompanionName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  std::string extension = FileExtension(std::string(name));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return std::find(std::begin(kCompanionExtensions), std::end(kCompanionExtensions), extension) !=
         std::end(kCompanionExtensions);
}

CompanionNote CompanionCopier::CopyBeside(const std::string& sourcePath, const std::string& outputPath,
                                          const std::atomic<bool>* cancel) {
  CompanionNote note;
  // A folder is the same folder however a path spells it.
  const std::string sourceFolder = FolderIdentity(sourcePath);
  const std::string outputFolder = FolderIdentity(outputPath);
  if (sourceFolder == outputFolder) return note;
  {
    std::lock_guard lock(m_mutex);
    if (!m_done.emplace(sourceFolder, outputFolder).second) return note;
  }
  const std::string from = FolderPart(sourcePath);
  const std::string to = FolderPart(outputPath);
  const auto entries = ListFolder(from.empty() ? std::string(".") : from);
  if (!entries) return note;
  for (const FolderEntry& entry : *entries) {
    if (Cancelled(cancel)) break;
    if ((entry.type != EntryType::File && entry.type != EntryType::Link) || !IsCompanionName(entry.name)) continue;
    int error = 0;
    switch (CopyOne(from + entry.name, to + entry.name, cancel, error)) {
      case CopyResult::Copied: ++note.copied; break;
      case CopyResult::Present: ++note.present; break;
      case CopyResult::TooLarge: ++note.tooLarge; break;
      case CopyResult::Failed:
        if (note.failed++ == 0) {
          note.firstFailed = entry.name;
          note.error = error;
        }
        break;
      case CopyResult::NotRegular:
      case CopyResult::Cancelled: break;
    }
  }
  return note;
}

}  // namespace velmora
