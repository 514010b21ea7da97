#pragma once

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/file_outcome.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

namespace velmora {

// Writes an opened source as WAV at its own rate, every channel in its order, and its full
// resolution (Info().fullBits and fullFloat), through the reader's full-resolution path. The
// WAV gain setting applies, clipped at the width's limits. Outcomes as ConvertFileToWav.
FileOutcome ConvertFileToLosslessWav(AiffReader& reader, OutputFile& output, const ConversionOptions& options,
                                     const FileContext& context);

}  // namespace velmora
