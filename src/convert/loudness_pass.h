#pragma once

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/loudness_meter.h"
#include "settings/conversion_options.h"

namespace velmora {

// The passes over a source's sound that measure its loudness. Each reads an opened reader to
// its end, telling `context.progress` the source frames read after every block; false when the
// sound cannot be read or measured, or `context.cancel` was set.

// The source as it is: every channel at full resolution, at its own rate; the loudness range
// too, unless `withRange` is false.
bool MeasureSource(AiffReader& reader, LoudnessMeter& meter, const FileContext& context = {}, bool withRange = true);

// What a conversion to `format` will hand to its writer or encoder, before any gain: after
// the same resampling and channel mixing, at the output's rate, so the true peak found is the
// output's; at full precision, before the cut to the output's width. The meter measures no
// range (see LoudnessMeter::Start).
bool MeasureConverted(AiffReader& reader, OutputFormat format, const ConversionOptions& options, LoudnessMeter& meter,
                      const FileContext& context = {});

}  // namespace velmora
