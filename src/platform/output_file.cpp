#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <utility>

#include "platform/system_calls.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

// Large enough that a block's worth of output costs one system call in most cases.
constexpr std::size_t kBufferBytes = std::size_t{256} << 10;
constexpr std::size_t kRandomChars = 6;
constexpr int kMaxNameAttempts = 100;

std::string RandomChars() {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string text;
  for (std::size_t i = 0; i < kRandomChars; ++i) text += kAlphabet[pick(generator)];
  return text;
}

// The final name cut so that the temporary name fits the folder's name limit; never inside a
// UTF-8 sequence.
std::string FittedName(const std::string& name, std::size_t limit) {
  const std::size_t extra = std::strlen(OutputFile::kTemporaryMarker) + kRandomChars +
                            std::strlen(OutputFile::kTemporarySuffix);
  if (name.size() + extra <= limit) return name;
  return name.substr(0, Utf8FittingBytes(name, limit > extra ? limit - extra : 0));
}

// Whether two names are links to one file.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first = {}, second = {};
  return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

// Moves `from` to `to` unless `to` exists, atomically where the file system allows.
OutputFile::PublishResult MoveWithoutReplacing(const std::string& from, const std::string& to, int& error) {
  using Result = OutputFile::PublishResult;
  if (Sys().renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Result::Published;
  if (errno == EEXIST) return Result::Exists;
  // NFS and SMB mounts, and older kernels, refuse the flag rather than the move.
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    error = errno;
    return Result::Failed;
  }
  // No atomic no-replace rename here: a hard link is created only under a free name.
  const int linked = Sys().link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  // Over NFS a link whose reply was lost is sent again and then answers EEXIST, although the
  // name it found taken is the link itself.
  if (linked == 0 || (linked == EEXIST && SameFile(from, to))) {
    // Should the temporary name stay (the unlink refused), it is a second name of the published
    // file, marked as a leftover that is safe to delete.
    Sys().unlink(from.c_str());
    return Result::Published;
  }
  if (linked == EEXIST) return Result::Exists;
  if (linked != EPERM && linked != EOPNOTSUPP && linked != EMLINK) {
    error = linked;
    return Result::Failed;
  }
  // A file system without links either (FAT): look, then move. Only another program creating
  // the very same name in between could be replaced.
  struct stat st = {};
  if (::lstat(to.c_str(), &st) == 0) return Result::Exists;
  if (Sys().rename(from.c_str(), to.c_str()) == 0) return Result::Published;
  error = errno;
  return Result::Failed;
}

FileStamp StampOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  struct stat st = {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return StampOf(st);
}

std::size_t MaxFileNameBytes(const std::string& folder) {
  const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
}

OutputFile::~OutputFile() { Discard(); }

OutputFile::OutputFile(OutputFile&& other) noexcept { *this = std::move(other); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    Discard();
    m_fd = std::exchange(other.m_fd, -1);
    m_tempPath = std::move(other.m_tempPath);
    other.m_tempPath.clear();
    m_closed = std::exchange(other.m_closed, false);
    m_buffer = std::move(other.m_buffer);
    m_buffered = std::exchange(other.m_buffered, 0);
    m_size = std::exchange(other.m_size, 0);
    m_error = std::exchange(other.m_error, 0);
    m_stamp = std::exchange(other.m_stamp, std::nullopt);
  }
  return *this;
}

bool OutputFile::CreateTemporary(const std::string& finalPath) {
  *this = OutputFile();
  const auto slash = finalPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
  const std::string name = FittedName(finalPath.substr(folder.size()), MaxFileNameBytes(folder));
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    const std::string path = folder + name + kTemporaryMarker + RandomChars() + kTemporarySuffix;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      m_fd = fd;
      m_tempPath = path;
      return true;
    }
    if (errno != EEXIST) {
      m_error = errno;
      return false;
    }
  }
  m_error = EEXIST;
  return false;
}

bool OutputFile::WriteAll(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = Sys().write(m_fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      m_error = errno;
      return false;
    }
    if (written == 0) {
      m_error = ENOSPC;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool OutputFile::Flush() {
  if (m_error) return false;
  const std::size_t pending = std::exchange(m_buffered, 0);
  return pending == 0 || WriteAll(m_buffer.get(), pending);
}

bool OutputFile::Write(const void* data, std::size_t size) {
  if (m_fd < 0 || m_error) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_size += size;
  if (m_buffered + size > kBufferBytes) {
    if (!Flush()) return false;
    if (size >= kBufferBytes) return WriteAll(bytes, size);
  }
  // Taken when first needed and never zeroed: a batch of short files would otherwise spend more
  // on clearing buffers than on its sound.
  if (!m_buffer) m_buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kBufferBytes);
  std::memcpy(m_buffer.get() + m_buffered, bytes, size);
  m_buffered += size;
  return true;
}

bool OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (m_fd < 0 || !Flush()) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t written = Sys().pwrite(m_fd, bytes, size, static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      m_error = written < 0 ? errno : ENOSPC;
      return false;
    }
    bytes += written;
    offset += static_cast<std::uint64_t>(written);
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool OutputFile::Close() {
  if (m_fd < 0) return m_closed && m_error == 0;
  Flush();
  // The data reaches the disk before the file takes its final name, so that a power cut leaves
  // either the whole file or a leftover temporary one.
  if (!m_error && Sys().fdatasync(m_fd) != 0 && errno != EINVAL) m_error = errno;
  // Nothing writes to the file after this, and a rename keeps all of its stamp.
  struct stat st = {};
  if (!m_error && ::fstat(m_fd, &st) == 0) m_stamp = StampOf(st);
  if (Sys().close(m_fd) != 0 && !m_error) m_error = errno;
  m_fd = -1;
  m_closed = true;
  m_buffer.reset();
  return m_error == 0;
}

OutputFile::PublishResult OutputFile::Publish(const std::string& finalPath) {
  if (!m_closed || m_error || m_tempPath.empty()) {
    if (!m_error) m_error = EBADF;
    return PublishResult::Failed;
  }
  const PublishResult result = MoveWithoutReplacing(m_tempPath, finalPath, m_error);
  if (result == PublishResult::Published) m_tempPath.clear();
  return result;
}

OutputFile::PublishResult OutputFile::PublishOver(const std::string& finalPath, const FileStamp& expected) {
  if (!m_closed || m_error || m_tempPath.empty()) {
    if (!m_error) m_error = EBADF;
    return PublishResult::Failed;
  }
  // The look and the rename are two steps, taken back to back: a file that another program
  // puts under the name in the moment between them is replaced. Any change made before the
  // look (the file moved, deleted, replaced, rewritten or touched) is seen, and the file there
  // is then left alone.
  if (ReadFileStamp(finalPath) != expected) return PublishResult::Exists;
  if (Sys().rename(m_tempPath.c_str(), finalPath.c_str()) != 0) {
    m_error = errno;
    return PublishResult::Failed;
  }
  m_tempPath.clear();
  return PublishResult::Published;
}

bool OutputFile::Reopen() {
  if (!m_closed || m_fd >= 0 || m_tempPath.empty()) return false;
  const int fd = ::open(m_tempPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) {
    m_error = errno;
    return false;
  }
  m_fd = fd;
  m_closed = false;
  m_buffered = 0;
  m_size = 0;
  m_error = 0;
  m_stamp.reset();
  return true;
}

void OutputFile::Discard() {
  if (m_fd >= 0) {
    Sys().close(m_fd);
    m_fd = -1;
  }
  if (!m_tempPath.empty()) Sys().unlink(m_tempPath.c_str());
  m_tempPath.clear();
  m_buffer.reset();
  m_closed = false;
}

}  // namespace velmora
