#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// An output file that Velmora creates itself: never an existing file, never replaced. Writes
// go through a buffer; every failure (a full disk, a short write) is remembered, and Close()
// reports it.
class OutputFile {
 public:
  enum class CreateResult { Created, Exists, Failed };

  OutputFile() = default;
  ~OutputFile();  // closes; an unclosed file's errors are lost, so callers Close() first
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates `path` exclusively: Exists when any file or link already has that name.
  CreateResult CreateNew(const std::string& path);

  bool IsOpen() const { return m_fd >= 0; }
  const std::string& Path() const { return m_path; }

  // Appends bytes. False once any write has failed.
  bool Write(const void* data, std::size_t size);
  // Writes at an absolute offset (after flushing what is buffered); for header patches.
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  // Bytes appended so far.
  std::uint64_t Size() const { return m_size; }

  // Flushes and closes. False when anything failed since CreateNew.
  bool Close();
  // Closes and deletes the file: the output of a failed or cancelled conversion.
  void Discard();

  bool Failed() const { return m_error != 0; }
  int Error() const { return m_error; }

 private:
  bool Flush();
  bool WriteAll(const std::uint8_t* data, std::size_t size);

  int m_fd = -1;
  std::string m_path;
  std::vector<std::uint8_t> m_buffer;
  std::size_t m_buffered = 0;
  std::uint64_t m_size = 0;
  int m_error = 0;
};

}  // namespace velmora
