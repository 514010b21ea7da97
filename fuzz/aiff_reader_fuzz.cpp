// Feeds arbitrary bytes to the AIFF parser, decodes whatever it accepts to the end (once through
// the 16-bit path and once at full resolution), and takes the metadata it found through the tag
// reader and the MP3 and WAV tag writers, and the markers and loops through the WAV sampler
// chunks.
#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/aiff_reader.h"
#include "cli/outcome_text.h"
#include "convert/sampler_chunks.h"
#include "convert/tag_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmora::AiffReader reader;
  if (!reader.OpenMemory(data, size)) return 0;
  const velmora::SourceTags tags = reader.Tags();
  velmora::BuildId3v2Tag(tags);
  velmora::BuildWavTagChunks(tags);
  velmora::cli::DescribeTags(tags);
  const velmora::SamplerInfo sampler = reader.Sampler();
  velmora::cli::DescribeSampler(sampler);
  for (const velmora::TagNote& note : sampler.notes) velmora::cli::TagNoteText(note);
  // Positions scaled to another rate stay inside the output, whatever the source declared.
  velmora::BuildWavSamplerChunks(sampler, reader.Info().sampleRate, 48000, reader.Info().frames / 2);
  std::array<std::int16_t, velmora::kMaxBlockFrames> left{}, right{};
  bool end = false;
  // Every call that delivers frames consumes input, so the number of calls is bounded by the
  // input's size; more calls than that means a decoder that never ends.
  for (std::size_t calls = 0; !end; ++calls) {
    if (calls > size + 16) __builtin_trap();
    if (reader.ReadBlock(left.data(), right.data(), end) <= 0) break;
  }

  if (!reader.OpenMemory(data, size)) __builtin_trap();  // parsing the same bytes again
  // Room for the widest full-resolution block: six channels of doubles.
  static std::array<double, static_cast<std::size_t>(velmora::kMaxBlockFrames) * velmora::kMaxChannels> frames{};
  end = false;
  for (std::size_t calls = 0; !end; ++calls) {
    if (calls > size + 16) __builtin_trap();
    if (reader.ReadFullBlock(frames.data(), end) <= 0) break;
  }
  return 0;
}
