#include "platform/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/system_calls.h"

namespace velmora {
namespace {

// Large enough that a block's worth of output costs one system call in most cases.
constexpr std::size_t kBufferBytes = std::size_t{256} << 10;

}  // namespace

OutputFile::~OutputFile() {
  if (m_fd >= 0) Sys().close(m_fd);
}

OutputFile::OutputFile(OutputFile&& other) noexcept { *this = std::move(other); }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    if (m_fd >= 0) Sys().close(m_fd);
    m_fd = std::exchange(other.m_fd, -1);
    m_path = std::move(other.m_path);
    m_buffer = std::move(other.m_buffer);
    m_buffered = std::exchange(other.m_buffered, 0);
    m_size = std::exchange(other.m_size, 0);
    m_error = std::exchange(other.m_error, 0);
  }
  return *this;
}

OutputFile::CreateResult OutputFile::CreateNew(const std::string& path) {
  *this = OutputFile();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    m_error = errno;
    return errno == EEXIST ? CreateResult::Exists : CreateResult::Failed;
  }
  m_fd = fd;
  m_path = path;
  m_buffer.resize(kBufferBytes);
  return CreateResult::Created;
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
  return pending == 0 || WriteAll(m_buffer.data(), pending);
}

bool OutputFile::Write(const void* data, std::size_t size) {
  if (m_fd < 0 || m_error) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_size += size;
  if (m_buffered + size > m_buffer.size()) {
    if (!Flush()) return false;
    if (size >= m_buffer.size()) return WriteAll(bytes, size);
  }
  std::memcpy(m_buffer.data() + m_buffered, bytes, size);
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
  if (m_fd < 0) return m_error == 0;
  Flush();
  if (Sys().close(m_fd) != 0 && !m_error) m_error = errno;
  m_fd = -1;
  m_buffer = {};
  return m_error == 0;
}

void OutputFile::Discard() {
  if (m_fd >= 0) {
    Sys().close(m_fd);
    m_fd = -1;
  }
  if (!m_path.empty()) ::unlink(m_path.c_str());
  m_buffer = {};
  m_path.clear();
}

}  // namespace velmora
