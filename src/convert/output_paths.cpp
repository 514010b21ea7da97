#include "convert/output_paths.h"

#include "platform/file_system.h"

namespace velmora {
namespace {

// A bound that only a file system reporting every name as taken could reach.
constexpr int kMaxNumberedNames = 100000;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string NumberedName(const std::string& base, int number, std::string_view extension) {
  std::string name = base;
  if (number > 0) name += '_' + std::to_string(number);
  name += extension;
  return name;
}

// Creating the file exclusively is both the test for a free name and the reservation of it, so
// a file that appears meanwhile is skipped rather than replaced. False when the folder takes no
// new file at all.
bool ReserveNumberedName(const std::string& base, OutputFormat format, OutputTarget& result) {
  for (int number = 0; number < kMaxNumberedNames; ++number) {
    const std::string candidate = NumberedName(base, number, OutputExtension(format));
    switch (result.file.CreateNew(candidate)) {
      case OutputFile::CreateResult::Created:
        result.path = candidate;
        return true;
      case OutputFile::CreateResult::Exists:
        continue;
      case OutputFile::CreateResult::Failed:
        return false;
    }
  }
  return false;
}

bool ReserveInFallback(const std::optional<std::string>& folder, const std::string& stem,
                       OutputFormat format, OutputTarget& result) {
  if (!folder) return false;
  const std::string fallback = WithSlash(*folder) + std::string(kFallbackFolderName) + '/';
  // Whether the folder could be made is seen by the creation that follows.
  EnsureDirectory(fallback, true);
  return ReserveNumberedName(fallback + stem, format, result);
}

}  // namespace

std::string_view OutputExtension(OutputFormat format) {
  return format == OutputFormat::Mp3 ? ".mp3" : ".wav";
}

std::string OutputStem(const std::string& fileName) {
  return fileName.substr(0, fileName.size() - FileExtension(fileName).size());
}

std::string MakeUniqueOutputName(const std::string& base, OutputFormat format) {
  for (int number = 0;; ++number) {
    std::string candidate = NumberedName(base, number, OutputExtension(format));
    if (!FileExists(candidate)) return candidate;
  }
}

OutputFolders PlatformOutputFolders() { return {GetDocumentsFolder(), GetProgramFolder()}; }

bool MakeOutputPath(const std::string& source, OutputFormat format, const ConverterSettings& settings,
                    const OutputFolders& folders, OutputTarget& result, std::string& errorText) {
  result = OutputTarget();
  const std::string sourcePath = AbsolutePath(source);
  const std::string sourceFolder = FolderPart(sourcePath);
  const std::string stem = OutputStem(FileNamePart(sourcePath));

  std::string folder = sourceFolder;
  const std::string& specified = settings.DestSpecifiedFolder;
  if (settings.DestOutputFolderOpt == kOutputFolderSpecified && !specified.empty() &&
      EnsureDirectory(specified, true)) {
    folder = WithSlash(AbsolutePath(specified));
    if (settings.CreateDirs != 0) {
      // Mirror the source's absolute folder path: /music/pop/x.aiff below /out goes to /out/music/pop/.
      folder += sourceFolder.starts_with('/') ? sourceFolder.substr(1) : sourceFolder;
      if (!EnsureDirectory(folder, true)) {
        errorText = "Failed to create folder \"" + folder + "\"";
        return false;
      }
    }
  }

  if (ReserveNumberedName(folder + stem, format, result) ||
      ReserveInFallback(folders.documents, stem, format, result) ||
      ReserveInFallback(folders.program, stem, format, result)) {
    return true;
  }
  errorText = "Failed to create destination file";
  return false;
}

}  // namespace velmora
