#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QStandardPaths>
#include <QString>
#include <filesystem>
#include <system_error>

namespace velmora {

std::string FileNamePart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileExtension(const std::string& path) {
  const std::string name = FileNamePart(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string OutputStem(const std::string& fileName) {
  return fileName.substr(0, fileName.size() - FileExtension(fileName).size());
}

std::string FolderPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExists(const std::string& path) {
  struct stat st = {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st = {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st = {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FolderIdentity(const std::string& path) {
  const std::string folder = FolderPart(path);
  struct stat st = {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &st) == 0) {
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino);
  }
  return AbsolutePath(folder.empty() ? "." : folder);
}

std::optional<std::string> GetProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return std::nullopt;
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::optional<std::string> GetDocumentsFolder() {
  const QString location = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (location.isEmpty()) return std::nullopt;
  std::string folder = location.toStdString();
  if (folder.back() != '/') folder += '/';
  return folder;
}

int CreateDirectoryTree(const std::string& path, std::vector<std::string>* created) {
  if (path.empty()) return ENOENT;
  std::string::size_type pos = 0;
  while (true) {
    pos = path.find('/', pos + 1);
    const std::string part = path.substr(0, pos);
    if (!part.empty() && !IsDirectory(part)) {
      if (::mkdir(part.c_str(), 0777) == 0) {
        if (created) created->push_back(part);
      } else if (errno != EEXIST) {
        return errno;
      } else if (!IsDirectory(part)) {
        return ENOTDIR;
      }
    }
    if (pos == std::string::npos || pos + 1 >= path.size()) break;
  }
  return IsDirectory(path) ? 0 : ENOTDIR;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

PathLookup::~PathLookup() {
  if (m_fd >= 0) ::close(m_fd);
}

int PathLookup::Stat(const std::string& path, struct stat& st) {
  const std::size_t slash = path.rfind('/');
  // A name of its own is needed; "a/" and "/" go the long way.
  if (slash == std::string::npos || slash + 1 == path.size()) return ::stat(path.c_str(), &st) == 0 ? 0 : errno;
  if (path.compare(0, slash + 1, m_folder) != 0) {
    if (m_fd >= 0) ::close(m_fd);
    m_folder = path.substr(0, slash + 1);
    m_fd = ::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  // A folder that cannot be opened gives the path's own lookup its reason.
  const int result = m_fd >= 0 ? ::fstatat(m_fd, path.c_str() + slash + 1, &st, 0) : ::stat(path.c_str(), &st);
  return result == 0 ? 0 : errno;
}

bool PathLookup::IsDirectory(const std::string& path) {
  struct stat st = {};
  return Stat(path, st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace velmora
