#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// A whole file mapped read-only. If another process truncates the file while it is mapped,
// reading the vanished pages does not kill the program: a SIGBUS handler puts zero pages in
// their place and marks the mapping damaged, and the reader checks Damaged() after each block.
class MappedFile {
 public:
  enum class Result { Ok, CannotOpen, NotRegular, Empty, TooLarge, CannotMap };

  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the whole file without ever blocking; files of 4 GiB or more and anything but a
  // regular file (a FIFO, a device) are refused. On CannotOpen and CannotMap the system's
  // reason is kept in LastErrno().
  Result Open(const std::string& path);
  void Close();

  const std::uint8_t* data() const { return m_data; }
  std::size_t size() const { return m_size; }
  int LastErrno() const { return m_errno; }

  // True once a page vanished under the mapping; the bytes read from it were zeros.
  bool Damaged() const { return m_damaged.load(std::memory_order_relaxed); }

  // Lets the kernel drop the pages before `offset` from this process's memory: a sequential
  // reader calls it as it goes so that a 1 GiB source does not stay resident.
  void ReleaseBefore(std::size_t offset);
  // The same for the pages wholly inside [from, from + size), which must lie in the mapping:
  // for data read once out of order, such as a 16 MiB cover. A later read maps them in again.
  void Release(const std::uint8_t* from, std::size_t size) const;

 private:
  const std::uint8_t* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_released = 0;
  int m_slot = -1;
  int m_errno = 0;
  std::atomic<bool> m_damaged{false};
};

}  // namespace velmora
