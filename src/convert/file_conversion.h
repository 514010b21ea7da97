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

// Converts an opened source into the output file that was created for it. The output file is
// complete and closed on Converted; on any other result it has been deleted.
FileOutcome ConvertFileToWav(AiffReader& reader, OutputFile&& output, const ConverterSettings& settings,
                             const FileContext& context);

}  // namespace velmora
