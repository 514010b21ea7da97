#pragma once

#include <string>

#include "audio/aiff_reader.h"
#include "convert/file_conversion.h"
#include "convert/loudness_meter.h"
#include "settings/conversion_options.h"

namespace velmora {

// What a player hears of the source converted to MP3: the source is encoded as its conversion
// will encode it (the gain coefficient included, no tags) into a scratch file in the system's
// temporary folder, which is then decoded into `meter` and deleted. MP3 encoding moves both
// loudness and peaks, by a few tenths of a dB and more on bright sound, so ReplayGain for an
// MP3 is measured on it as players and taggers measure. False when the source cannot be
// encoded or decoded, or `context.cancel` was set. `context.progress` hears of the source
// frames encoded.
bool MeasureMp3Output(AiffReader& reader, const std::string& sourcePath, const ConversionOptions& options,
                      LoudnessMeter& meter, const FileContext& context = {});

// The conversion to MP3. A normalised file is decoded afterwards as a player decodes it, and
// encoded again with less gain while its true peak passes the ceiling; its line then tells
// the loudness the decoded file measures. Outcomes as ConvertFileToWav.
FileOutcome ConvertFileToMp3(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                             const ConversionOptions& options, const FileContext& context);

}  // namespace velmora
