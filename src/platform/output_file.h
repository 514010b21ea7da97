#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// What tells one version of a file from another: the same device, inode, size and modification
// time. A file moved away and another saved under its name, or the file rewritten, changes it.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// The stamp of the file `path` names (a link is not followed); nothing when there is none.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

// An output file that Velmora creates itself. It is written under a temporary name in its
// destination folder ("<final name>.velmora-XXXXXX.part") and takes its final name only with
// Publish(), once complete, so that an interrupted run (a signal, a crash, a power cut) never
// leaves partial audio under a final name. Publish() never replaces an existing file; only
// PublishOver() does, and only the one version of a file it is given. Writes go
// through a buffer; every failure (a full disk, a short write, a failed close) is remembered
// with its errno.
class OutputFile {
 public:
  enum class PublishResult { Published, Exists, Failed };

  // Marks the temporary names; a file with it is the leftover of a run that did not finish.
  static constexpr const char* kTemporaryMarker = ".velmora-";
  static constexpr const char* kTemporarySuffix = ".part";

  OutputFile() = default;
  ~OutputFile();  // an unpublished file is removed
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates a new temporary file in the folder of `finalPath` (which must end in a file name).
  // False with Error() set when the folder takes no new file.
  bool CreateTemporary(const std::string& finalPath);

  bool IsOpen() const { return m_fd >= 0; }
  const std::string& TemporaryPath() const { return m_tempPath; }

  // Appends bytes. False once any write has failed.
  bool Write(const void* data, std::size_t size);
  // Writes at an absolute offset (after flushing what is buffered); for header patches.
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  // Bytes appended so far.
  std::uint64_t Size() const { return m_size; }

  // Flushes, forces the data to the disk and closes. False when anything failed since
  // CreateTemporary; the file then stays temporary for Discard().
  bool Close();
  // Gives a closed, complete file the name `finalPath` in the same folder. Exists when that name
  // is taken (the file stays temporary, so another name can be tried). Where the file system
  // refuses a rename that must not replace (NFS, SMB), a hard link to the name and the removal
  // of the temporary name take its place: the link too fails when the name is taken.
  PublishResult Publish(const std::string& finalPath);
  // Gives a closed, complete file the name `finalPath` in the same folder, replacing the file
  // there, but only while that file still has the stamp `expected`; Exists (the file stays
  // temporary) when there is no such file or it is another one. It replaces by a plain rename,
  // which every file system takes (NFS and SMB too), so it needs no fallback.
  PublishResult PublishOver(const std::string& finalPath, const FileStamp& expected);
  // The stamp of the complete file, taken when it was closed; it keeps it under its final name.
  const std::optional<FileStamp>& Stamp() const { return m_stamp; }
  // Empties a closed file that has not taken its final name and opens it again for writing from
  // its start, keeping its temporary name: an output written again with other settings.
  bool Reopen();
  // Closes and deletes the temporary file: the output of a failed or cancelled conversion.
  void Discard();

  bool Failed() const { return m_error != 0; }
  int Error() const { return m_error; }

 private:
  bool Flush();
  bool WriteAll(const std::uint8_t* data, std::size_t size);

  int m_fd = -1;
  std::string m_tempPath;
  bool m_closed = false;
  std::unique_ptr<std::uint8_t[]> m_buffer;  // kBufferBytes once written to
  std::size_t m_buffered = 0;
  std::uint64_t m_size = 0;
  int m_error = 0;
  std::optional<FileStamp> m_stamp;
};

// The length limit of one name in `folder` (NAME_MAX where the system cannot tell).
std::size_t MaxFileNameBytes(const std::string& folder);

}  // namespace velmora
