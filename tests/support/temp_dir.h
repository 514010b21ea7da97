#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::string File(const std::string& name) const { return (m_path / name).string(); }
  // Writes `bytes` to `name` inside the folder and returns the full path.
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

 private:
  std::filesystem::path m_path;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// Runs a shell command; returns its exit status (-1 if it could not run) and its stdout.
int RunCommand(const std::string& command, std::string* output = nullptr);

// True when `program` is on PATH (peers such as sox or ffmpeg; tests skip without them).
bool HaveProgram(const std::string& program);

// Quotes a path for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace velmora::test
