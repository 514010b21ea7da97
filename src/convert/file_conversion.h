#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/aiff_reader.h"
#include "platform/output_file.h"
#include "settings/converter_settings.h"

namespace velmora {

enum class FileResult { Converted, Failed, Cancelled };

struct FileOutcome {
  FileResult result = FileResult::Failed;
  std::string reason;  // why it failed, when known
};

// What one file's conversion reports to and reads from its batch.
struct FileContext {
  std::function<void(std::int64_t framesDone)> progress;  // after every block, source frames
  const std::atomic<bool>* cancel = nullptr;              // polled after every block
};

// The WAV format a source is written in: the source's own with the Auto setting, otherwise the
// settings' rate, channel count and width (8 or 16; any other stored width counts as 16).
struct WavFormat {
  int sampleRate = 0;
  int channels = 0;
  int bits = 0;
};
WavFormat ChooseWavFormat(const SourceInfo& source, const ConverterSettings& settings);

// The gain factor the settings ask for, or 0 for none (off, or exactly 100 %).
float ChooseGain(std::int32_t enabled, std::int32_t percent);

// Convert an opened source into the output file that was created for it. The output is
// complete and closed on Converted; on any other result it has been deleted.
FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile&& output, const ConverterSettings& settings,
                             const FileContext& context);
FileOutcome ConvertFileToMp3(AiffReader& reader, const std::string& sourcePath, OutputFile&& output,
                             const ConverterSettings& settings, const FileContext& context);

}  // namespace velmora
