#include "convert/output_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <set>
#include <utility>

#include "convert/name_pattern.h"
#include "convert/output_format.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

// A bound that only a file system reporting every name as taken could reach.
constexpr int kMaxNumberedNames = 100000;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// base.ext or base_N.ext, the stem shortened by whole UTF-8 characters where the name would
// not fit the folder's limit of `maxNameBytes`.
std::string NumberedName(const std::string& base, int number, std::string_view extension, std::size_t maxNameBytes) {
  std::string suffix = number > 0 ? '_' + std::to_string(number) : std::string();
  suffix += extension;
  const std::size_t slash = base.rfind('/');
  const std::size_t stemStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t stemEnd = base.size();
  if (stemEnd - stemStart + suffix.size() > maxNameBytes) {
    const std::size_t room = maxNameBytes > suffix.size() ? maxNameBytes - suffix.size() : 0;
    stemEnd = stemStart + Utf8FittingBytes(std::string_view(base).substr(stemStart), room);
  }
  return base.substr(0, stemEnd) + suffix;
}

std::size_t MaxNameBytes(const std::string& base) {
  const std::size_t slash = base.rfind('/');
  return MaxFileNameBytes(slash == std::string::npos ? std::string() : base.substr(0, slash + 1));
}

// The final names held by targets of this process.
std::mutex g_reservedMutex;
std::set<std::string> g_reserved;

// Reserves `path` when no file and no target has it: 0, EEXIST, or the system's reason why the
// name cannot be looked at.
int TryReserve(const std::string& path) {
  std::lock_guard lock(g_reservedMutex);
  if (g_reserved.count(path)) return EEXIST;
  struct stat st = {};
  if (::lstat(path.c_str(), &st) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  g_reserved.insert(path);
  return 0;
}

void Unreserve(const std::string& path) {
  std::lock_guard lock(g_reservedMutex);
  g_reserved.erase(path);
}

// Reserves the first free number from `first` on.
int ReserveFrom(const std::string& base, OutputFormat format, int first, int& number, std::string& path) {
  // A NUL would end the name early in every system call.
  if (base.find('\0') != std::string::npos) return EINVAL;
  const std::size_t maxNameBytes = MaxNameBytes(base);
  for (number = first; number < kMaxNumberedNames; ++number) {
    path = NumberedName(base, number, FormatInfo(format).extension, maxNameBytes);
    const int error = TryReserve(path);
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

bool ReserveInFallback(const std::optional<std::string>& folder, const std::string& stem, OutputFormat format,
                       OutputTarget& target, std::vector<std::string>& created) {
  if (!folder) return false;
  const std::string fallback = WithSlash(*folder) + std::string(kFallbackFolderName) + '/';
  int error = CreateDirectoryTree(fallback, &created);
  return error == 0 && ReserveOutput(fallback + stem, format, target, error);
}

}  // namespace

std::string OutputName(const std::string& base, OutputFormat format, int number) {
  return NumberedName(base, number, FormatInfo(format).extension, MaxNameBytes(base));
}

OutputFolders PlatformOutputFolders() { return {GetDocumentsFolder(), GetProgramFolder(), true}; }

OutputTarget::~OutputTarget() { Release(); }

OutputTarget::OutputTarget(OutputTarget&& other) noexcept { *this = std::move(other); }

OutputTarget& OutputTarget::operator=(OutputTarget&& other) noexcept {
  if (this != &other) {
    Release();
    m_base = std::move(other.m_base);
    m_format = other.m_format;
    m_number = other.m_number;
    m_path = std::move(other.m_path);
    m_reserved = std::exchange(other.m_reserved, false);
    m_file = std::move(other.m_file);
    other.m_path.clear();
  }
  return *this;
}

void OutputTarget::Release() {
  if (m_reserved) Unreserve(m_path);
  m_reserved = false;
}

bool OutputTarget::Publish(int& error, const EarlierOutput* earlier) {
  if (earlier && m_reserved && FolderPart(earlier->path) == FolderPart(m_path) &&
      FileExtension(earlier->path) == FormatInfo(m_format).extension) {
    switch (m_file.PublishOver(earlier->path, earlier->stamp)) {
      case OutputFile::PublishResult::Published:
        Release();
        m_path = earlier->path;
        return true;
      case OutputFile::PublishResult::Failed:
        error = m_file.Error();
        return false;
      case OutputFile::PublishResult::Exists:
        break;  // no longer the file that was written: the reserved name it is
    }
  }
  while (m_reserved) {
    switch (m_file.Publish(m_path)) {
      case OutputFile::PublishResult::Published:
        Release();
        return true;
      case OutputFile::PublishResult::Failed:
        error = m_file.Error();
        return false;
      case OutputFile::PublishResult::Exists: {
        // Another program took the name after it was reserved: move on to the next number.
        Release();
        std::string next;
        error = ReserveFrom(m_base, m_format, m_number + 1, m_number, next);
        if (error) return false;
        m_path = next;
        m_reserved = true;
        break;
      }
    }
  }
  error = EBADF;
  return false;
}

bool ReserveOutput(const std::string& base, OutputFormat format, OutputTarget& target, int& error, int firstNumber) {
  target = OutputTarget();
  std::string path;
  int number = 0;
  error = ReserveFrom(base, format, firstNumber, number, path);
  if (error) return false;
  target.m_base = base;
  target.m_format = format;
  target.m_number = number;
  target.m_path = path;
  target.m_reserved = true;
  if (!target.m_file.CreateTemporary(path)) {
    error = target.m_file.Error();
    target = OutputTarget();
    return false;
  }
  return true;
}

std::optional<OutputPlace> ChooseOutputPlace(const std::string& source, const OutputOptions& options,
                                             const OutputFolders& folders, std::vector<std::string>& created,
                                             FileOutcome& failure, const SourceTags* tags, const std::string& root) {
  const std::string sourcePath = AbsolutePath(source);
  const std::string sourceFolder = FolderPart(sourcePath);
  // The pattern's folders, if any, go below the chosen folder; its last name is the stem.
  const std::string named = NamePatternOrDefault(options.namePattern).Expand(sourcePath, tags, root);
  const std::size_t slash = named.rfind('/');
  const std::string subfolders = slash == std::string::npos ? std::string() : named.substr(0, slash + 1);
  OutputPlace place{sourceFolder, named.substr(subfolders.size())};
  auto addSubfolders = [&]() -> bool {
    if (subfolders.empty()) return true;
    place.folder += subfolders;
    if (const int error = CreateDirectoryTree(place.folder, &created)) {
      failure = FileOutcome::Failure(FileReason::FolderFailed, place.folder, error);
      return false;
    }
    return true;
  };
  if (!options.folder) return addSubfolders() ? std::optional(place) : std::nullopt;

  const std::string folder = WithSlash(AbsolutePath(*options.folder));
  if (const int error = CreateDirectoryTree(folder, &created)) {
    // The window writes next to the source instead.
    if (folders.fallBack) return addSubfolders() ? std::optional(place) : std::nullopt;
    failure = FileOutcome::Failure(FileReason::FolderFailed, folder, error);
    return std::nullopt;
  }
  place.folder = folder;
  if (options.mirror) {
    // Mirror the source's absolute folder path: /music/pop/x.aiff below /out goes to /out/music/pop/.
    place.folder += sourceFolder.starts_with('/') ? sourceFolder.substr(1) : sourceFolder;
    if (const int error = CreateDirectoryTree(place.folder, &created)) {
      failure = FileOutcome::Failure(FileReason::FolderFailed, place.folder, error);
      return std::nullopt;
    }
  }
  return addSubfolders() ? std::optional(place) : std::nullopt;
}

bool MakeOutputPath(const std::string& source, OutputFormat format, const OutputOptions& options,
                    const OutputFolders& folders, OutputTarget& target, std::vector<std::string>& created,
                    FileOutcome& failure, int firstNumber, const SourceTags* tags, const std::string& root) {
  target = OutputTarget();
  const auto place = ChooseOutputPlace(source, options, folders, created, failure, tags, root);
  if (!place) return false;
  int error = 0;
  if (ReserveOutput(place->folder + place->stem, format, target, error, firstNumber)) return true;
  if (folders.fallBack && (ReserveInFallback(folders.documents, place->stem, format, target, created) ||
                           ReserveInFallback(folders.program, place->stem, format, target, created))) {
    return true;
  }
  failure = FileOutcome::Failure(FileReason::NoOutputPlace, {}, error);
  return false;
}

void RemoveEmptyFolders(const std::vector<std::string>& created) {
  std::vector<std::string> deepestFirst = created;
  std::sort(deepestFirst.begin(), deepestFirst.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  // rmdir removes only empty folders, so a folder that holds anything stays.
  for (const std::string& folder : deepestFirst) ::rmdir(folder.c_str());
}

}  // namespace velmora
