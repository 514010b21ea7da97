#include "convert/loudness_pass.h"

#include <vector>

#include "convert/sample_converter.h"

namespace velmora {
namespace {

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// Planar to interleaved, for the meter.
template <typename Sample>
void Interleave(const Sample* left, const Sample* right, int frames, int channels, std::vector<Sample>& out) {
  out.resize(static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels));
  const auto step = static_cast<std::size_t>(channels);
  for (std::size_t i = 0; i < static_cast<std::size_t>(frames); ++i) {
    out[i * step] = left[i];
    if (channels == 2) out[i * step + 1] = right[i];
  }
}

}  // namespace

bool MeasureSource(AiffReader& reader, LoudnessMeter& meter, const std::atomic<bool>* cancel, bool withRange) {
  const SourceInfo& info = reader.Info();
  if (!meter.Start(info.channels, info.sampleRate, withRange)) return false;
  const auto frameSamples = static_cast<std::size_t>(info.channels);
  std::vector<double> block(static_cast<std::size_t>(kMaxBlockFrames) * frameSamples);
  bool end = false;
  while (!end) {
    const int frames = reader.ReadFullBlock(block.data(), end);
    if (frames <= 0) break;
    const auto count = static_cast<std::size_t>(frames);
    if (info.fullFloat && info.fullBits == 64) meter.AddDouble(block.data(), count);
    else if (info.fullFloat) meter.AddFloat(reinterpret_cast<const float*>(block.data()), count);
    else meter.AddInt32(reinterpret_cast<const std::int32_t*>(block.data()), count, info.fullBits);
    if (Cancelled(cancel)) return false;
  }
  return reader.Error() == AiffError::None;
}

bool MeasureConverted(AiffReader& reader, OutputFormat format, const WavTarget& target,
                      const ConverterSettings& settings, LoudnessMeter& meter, const std::atomic<bool>* cancel) {
  if (format == OutputFormat::Wav && target.lossless) return MeasureSource(reader, meter, cancel, false);
  const SourceInfo& info = reader.Info();
  const auto out = ConvertedFormat(info, format, target, settings);
  if (!out || !meter.Start(out->channels, out->sampleRate, false)) return false;
  // The conversion's own stages, in one converter: rate, then channels, then width. Measuring
  // at 16 bits keeps 8-bit output's rounding out of the figures; the gain is linear either way.
  const bool converting = out->sampleRate != info.sampleRate || out->channels != info.outputChannels ||
                          info.outputBits != 16;
  SampleConverter converter;
  if (converting && !converter.Configure(info.sampleRate, info.outputChannels, info.outputBits, out->sampleRate,
                                         out->channels, 16)) {
    return false;
  }
  std::vector<std::int16_t> readLeft(kMaxBlockFrames), readRight(kMaxBlockFrames);
  const auto capacity = static_cast<std::size_t>(converting ? converter.OutputCapacity(kMaxBlockFrames) : 0);
  std::vector<std::int16_t> left(capacity), right(capacity), frames;
  auto add = [&](const std::int16_t* l, const std::int16_t* r, int count) {
    Interleave(l, r, count, out->channels, frames);
    meter.AddInt16(frames.data(), static_cast<std::size_t>(count));
  };
  bool end = false;
  while (!end) {
    const int count = reader.ReadBlock(readLeft.data(), readRight.data(), end);
    if (count <= 0) break;
    if (converting) add(left.data(), right.data(), converter.Convert(readLeft.data(), readRight.data(), count, left.data(), right.data()));
    else add(readLeft.data(), readRight.data(), count);
    if (Cancelled(cancel)) return false;
  }
  if (reader.Error() != AiffError::None) return false;
  if (converting) add(left.data(), right.data(), converter.Flush(left.data(), right.data(), cancel));
  return !Cancelled(cancel);
}

}  // namespace velmora
