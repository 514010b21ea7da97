#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/source_tags.h"
#include "convert/file_outcome.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

namespace velmora {

// The folder made inside the documents or program folder when the chosen place takes no file.
inline constexpr std::string_view kFallbackFolderName = "Velmora_Files";

// The places to fall back to when the chosen folder takes no file. The window falls back (to
// the source's folder when the specified one cannot be made, then to Velmora_Files in the
// documents and program folders); the command line does not: there the chosen folder is used
// or the file fails with the system's reason.
struct OutputFolders {
  std::optional<std::string> documents;
  std::optional<std::string> program;
  bool fallBack = true;
};
OutputFolders PlatformOutputFolders();

// An output this program published earlier, as it was then.
struct EarlierOutput {
  std::string path;
  FileStamp stamp;
};

// Where a conversion writes: a final name reserved for it, and the temporary file that takes
// that name once complete. A final name is reserved when no file has it and no other target of
// this process holds it, so a batch names its files in the order it reserves them. The
// reservation ends with the target.
class OutputTarget {
 public:
  OutputTarget() = default;
  ~OutputTarget();
  OutputTarget(OutputTarget&& other) noexcept;
  OutputTarget& operator=(OutputTarget&& other) noexcept;
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;

  // The final name: reserved until Publish, the published file's name after it.
  const std::string& Path() const { return m_path; }
  OutputFile& File() { return m_file; }

  // Gives the closed file its final name. Should another program have taken the name in the
  // meantime, the next free number is used instead; an existing file is never replaced.
  //
  // With `earlier`, an output of the same format in the same folder that this file converts
  // again, the file takes the earlier one's name instead, replacing it in one step, as long as
  // that file is still the one published then (see OutputFile::PublishOver); otherwise the
  // reserved name is used as above and the earlier file is left alone.
  bool Publish(int& error, const EarlierOutput* earlier = nullptr);

 private:
  friend bool ReserveOutput(const std::string&, OutputFormat, OutputTarget&, int&, int);
  void Release();

  std::string m_base;  // folder and stem
  OutputFormat m_format = OutputFormat::Wav;
  int m_number = 0;
  std::string m_path;
  bool m_reserved = false;
  OutputFile m_file;
};

// The name numbered `number` of the output names of `base` (folder and stem): base.ext for 0,
// then base_1.ext, base_2.ext ... A name longer than the folder allows has its stem shortened by
// whole UTF-8 characters until it fits with its number and extension.
std::string OutputName(const std::string& base, OutputFormat format, int number);

// Reserves the first free name of OutputName(base, format, n) from n = firstNumber on, and
// creates its temporary file. False with the system's reason when the folder takes no file, and
// EINVAL for a base with a NUL in it.
bool ReserveOutput(const std::string& base, OutputFormat format, OutputTarget& target, int& error,
                   int firstNumber = 0);

// The output folder (with a trailing '/') and stem for `source` by the options, before any
// fallback: next to the source, or in the specified folder, optionally below a copy of the
// source's folder path, then below the folders of the options' name pattern, which names the
// stem from the source's name, `tags` (null when the pattern uses no tag) and `root` (the folder
// the source was found under, empty for a file given by itself). Creates the
// folders the options ask for and appends each folder it made to `created`. On failure sets
// `failure` and returns nothing; the window's fallback from an unusable specified folder to
// the source's folder is taken here.
struct OutputPlace {
  std::string folder;
  std::string stem;
};
std::optional<OutputPlace> ChooseOutputPlace(const std::string& source, const OutputOptions& options,
                                             const OutputFolders& folders, std::vector<std::string>& created,
                                             FileOutcome& failure, const SourceTags* tags = nullptr,
                                             const std::string& root = {});

// Chooses the output for `source` and reserves it (see above, from `firstNumber` on), trying the
// fallback folders where `folders` allows. On failure sets `failure` (FolderFailed or
// NoOutputPlace).
bool MakeOutputPath(const std::string& source, OutputFormat format, const OutputOptions& options,
                    const OutputFolders& folders, OutputTarget& target, std::vector<std::string>& created,
                    FileOutcome& failure, int firstNumber = 0, const SourceTags* tags = nullptr,
                    const std::string& root = {});

// Removes the folders of `created` that are empty, deepest first: what a batch made and did not
// fill.
void RemoveEmptyFolders(const std::vector<std::string>& created);

}  // namespace velmora
