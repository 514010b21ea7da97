#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct stat;

namespace velmora {

// The text after the last '/', or the whole path when it has none.
std::string FileNamePart(const std::string& path);
// The extension of the path's file name with its dot ("x.AIFF" gives ".AIFF"), or "" when the
// name has no dot after its first character: ".aiff" is a hidden file's name, not an extension.
std::string FileExtension(const std::string& path);
// A file name (or path) without its extension: "track.aiff" gives "track", "track" stays
// "track", and ".aiff" stays ".aiff" since a leading dot starts a name, not an extension.
std::string OutputStem(const std::string& fileName);
// The folder part of a path including its trailing '/', or "" when it has none.
std::string FolderPart(const std::string& path);
// True when something (a file or a folder) has this name; a dangling link counts too, since
// creating a file there would follow it.
bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
// True when `path` names a regular file, through links: not a folder, not a dangling link.
bool IsRegularFile(const std::string& path);
// What tells the folder holding `path` from every other folder however the path spells it
// ("alb/", "./alb/", a link to it): its device and inode, or its absolute path when the
// folder cannot be read.
std::string FolderIdentity(const std::string& path);
// The folder of the running executable, with a trailing '/'.
std::optional<std::string> GetProgramFolder();
// The user's documents folder, with a trailing '/'. Not created here: whoever writes below it
// creates what is missing, so a run that never needs it leaves no trace.
std::optional<std::string> GetDocumentsFolder();
// Creates every missing folder of `path`, appending each one it made to `created`. Returns 0
// when `path` is a folder afterwards, else the system's reason (ENOTDIR when a file is in the
// way, EACCES, ENOSPC ...).
int CreateDirectoryTree(const std::string& path, std::vector<std::string>* created = nullptr);
// `path` made absolute against the working folder, without resolving links.
std::string AbsolutePath(const std::string& path);

// Looks up many paths one after another, as a list or a folder search gives them: the folder of
// each is opened once for the paths after it in the same folder, so that a path costs the
// lookup of its last name only, not of every folder on the way. Answers what stat() would. One
// object belongs to one thread.
class PathLookup {
 public:
  PathLookup() = default;
  ~PathLookup();
  PathLookup(const PathLookup&) = delete;
  PathLookup& operator=(const PathLookup&) = delete;

  // stat() of `path`, links followed: 0, or the system's reason.
  int Stat(const std::string& path, struct stat& st);
  bool IsDirectory(const std::string& path);

 private:
  std::string m_folder;  // the folder m_fd stands for, with its trailing '/'
  int m_fd = -1;
};

}  // namespace velmora
