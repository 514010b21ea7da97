#include "convert/loudness_pass.h"

#include <vector>

#include "convert/full_precision_converter.h"
#include "convert/output_format.h"

namespace velmora {
namespace {

bool Cancelled(const FileContext& context) { return context.cancel && context.cancel->load(std::memory_order_relaxed); }

void Progress(const FileContext& context, std::uint64_t& read, int frames) {
  read += static_cast<std::uint64_t>(frames);
  if (context.progress) context.progress(read);
}

// The converter's output, interleaved for the meter.
void Interleave(const FullPrecisionConverter& converter, int frames, std::vector<float>& out) {
  const auto channels = static_cast<std::size_t>(converter.Channels());
  out.resize(static_cast<std::size_t>(frames) * channels);
  for (std::size_t c = 0; c < channels; ++c) {
    const float* in = converter.Channel(static_cast<int>(c));
    for (std::size_t i = 0; i < static_cast<std::size_t>(frames); ++i) out[i * channels + c] = in[i];
  }
}

}  // namespace

bool MeasureSource(AiffReader& reader, LoudnessMeter& meter, const FileContext& context, bool withRange) {
  const SourceInfo& info = reader.Info();
  if (!meter.Start(info.channels, info.sampleRate, withRange)) return false;
  const auto frameSamples = static_cast<std::size_t>(info.channels);
  std::vector<double> block(static_cast<std::size_t>(kMaxBlockFrames) * frameSamples);
  std::uint64_t read = 0;
  bool end = false;
  while (!end) {
    const int frames = reader.ReadFullBlock(block.data(), end);
    if (frames <= 0) break;
    const auto count = static_cast<std::size_t>(frames);
    if (info.fullFloat && info.fullBits == 64) meter.AddDouble(block.data(), count);
    else if (info.fullFloat) meter.AddFloat(reinterpret_cast<const float*>(block.data()), count);
    else meter.AddInt32(reinterpret_cast<const std::int32_t*>(block.data()), count, info.fullBits);
    Progress(context, read, frames);
    if (Cancelled(context)) return false;
  }
  return reader.Error() == AiffError::None;
}

bool MeasureConverted(AiffReader& reader, OutputFormat format, const ConversionOptions& options, LoudnessMeter& meter,
                      const FileContext& context) {
  const OutputFormatInfo& kind = FormatInfo(format);
  if (kind.keepsSource(options)) return MeasureSource(reader, meter, context, false);
  const SourceInfo& info = reader.Info();
  const auto out = kind.handedOn(info, options);
  if (!out || !meter.Start(out->channels, out->sampleRate, false)) return false;
  // The conversion's own resampling and mixing at full precision, where a gain is applied
  // before the sound is cut to the output's width: the figures hold for any width and level.
  // An output of more than two channels keeps every channel of the source, in its order.
  FullPrecisionConverter converter;
  if (out->channels > 2 ? !converter.ConfigureEveryChannel(info, out->sampleRate)
                        : !converter.Configure(info, out->sampleRate, out->channels)) {
    return false;
  }
  std::vector<float> frames;
  auto add = [&](int count) {
    Interleave(converter, count, frames);
    meter.AddFloat(frames.data(), static_cast<std::size_t>(count));
  };
  std::uint64_t read = 0;
  bool end = false;
  while (!end) {
    const int count = reader.ReadFullBlock(converter.Block(), end);
    if (count <= 0) break;
    add(converter.Convert(count));
    Progress(context, read, count);
    if (Cancelled(context)) return false;
  }
  if (reader.Error() != AiffError::None) return false;
  add(converter.Flush(context.cancel));
  meter.CountNonFinite(converter.NonFinite());
  return !Cancelled(context);
}

}  // namespace velmora
