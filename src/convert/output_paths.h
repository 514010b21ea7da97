#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/output_file.h"
#include "settings/converter_settings.h"

namespace velmora {

enum class OutputFormat { Wav = 0, Mp3 = 1 };

// ".wav" or ".mp3".
std::string_view OutputExtension(OutputFormat format);

// The folder made inside the documents or program folder when the chosen place takes no file.
inline constexpr std::string_view kFallbackFolderName = "Velmora_Files";

// A file name (or path) without its extension: "track.aiff" gives "track", "track" stays
// "track", and ".aiff" stays ".aiff" since a leading dot starts a name, not an extension.
std::string OutputStem(const std::string& fileName);

// The first of base.ext, base_1.ext, base_2.ext ... that no file, folder or link occupies.
// Only a snapshot: MakeOutputPath reserves its name instead of trusting this.
std::string MakeUniqueOutputName(const std::string& base, OutputFormat format);

// The places to fall back to; filled from the platform by PlatformOutputFolders, or pointed
// elsewhere by tests.
struct OutputFolders {
  std::optional<std::string> documents;
  std::optional<std::string> program;
};
OutputFolders PlatformOutputFolders();

// Where a conversion writes: the chosen path, already created and open for the writer.
struct OutputTarget {
  std::string path;
  OutputFile file;
};

// Chooses the output for `source` by the settings (next to the source, or in the specified
// folder, optionally below a copy of the source's folder path) and creates it as a new file,
// numbering the name past existing ones. An existing file is never replaced. When the chosen
// folder takes no new file, tries <documents>/Velmora_Files/ and then
// <program>/Velmora_Files/ with the same stem. On failure fills errorText and returns false.
bool MakeOutputPath(const std::string& source, OutputFormat format, const ConverterSettings& settings,
                    const OutputFolders& folders, OutputTarget& result, std::string& errorText);

}  // namespace velmora
