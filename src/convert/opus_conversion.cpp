#include "convert/opus_conversion.h"

#include <opus/opusfile.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "convert/block_pump.h"
#include "convert/full_precision_converter.h"
#include "convert/opus_encoder.h"
#include "convert/tag_writer.h"

namespace velmora {
namespace {

// A picture travels as a FLAC picture block, whose length field has 24 bits: its 32 bytes of
// fields, the MIME type, the description and the image must fit.
constexpr std::uint64_t kMaxPictureBlockBytes = (std::uint64_t{1} << 24) - 1;
constexpr std::uint64_t kPictureFieldBytes = 32;

// ReplayGain's reference loudness lies 5 dB above R128's.
constexpr double kReplayGainOverR128Db = 5.0;

// One decoded Opus frame is at most 120 ms at 48 kHz.
constexpr int kMaxDecodedFrames = 5760;


void AddTags(OpusEncoder& encoder, const SourceTags& tags, std::vector<TagNote>& notes, const FileContext& context) {
  const std::pair<const char*, const std::string*> texts[] = {
      {"TITLE", &tags.title}, {"ARTIST", &tags.artist},     {"ALBUM", &tags.album},     {"DATE", &tags.year},
      {"GENRE", &tags.genre}, {"TRACKNUMBER", &tags.track}, {"COMMENT", &tags.comment}, {"COPYRIGHT", &tags.copyright},
  };
  for (const auto& [name, value] : texts) encoder.AddComment(name, *value);
  for (const TagPicture& picture : tags.pictures) {
    const std::uint64_t block =
        kPictureFieldBytes + picture.mimeType.size() + picture.description.size() + picture.data.size();
    if (block > kMaxPictureBlockBytes) {
      CountNote(notes, TagNote::Kind::PictureOverLimit, {}, picture.data.size(), kMaxPictureBlockBytes);
    } else if (!encoder.AddPicture(picture)) {
      CountNote(notes, TagNote::Kind::PictureNotCarried, {}, picture.data.size());
    }
  }
  if (!context.loudness || !context.loudness->replayGain) return;
  const ReplayGainValues& values = *context.loudness->replayGain;
  encoder.AddComment("R128_TRACK_GAIN", std::to_string(R128GainQ8(values.trackGain)));
  if (values.albumGain) encoder.AddComment("R128_ALBUM_GAIN", std::to_string(R128GainQ8(*values.albumGain)));
}

// Interleaves the converter's output in the layout's order, with the gain, and hands it on one
// frame late: a resampled stream may end one frame past the source's length at 48 kHz, and
// that the last frame is surplus shows only at the end.
class OpusFeed {
 public:
  OpusFeed(const OpusLayout& layout, int capacity)
      : m_layout(layout),
        m_frames((static_cast<std::size_t>(capacity) + 1) * static_cast<std::size_t>(layout.channels), 0.0f) {}

  bool Add(const FullPrecisionConverter& converter, int frames, float gain, OpusEncoder& encoder) {
    if (frames <= 0) return true;
    const auto channels = static_cast<std::size_t>(m_layout.channels);
    for (std::size_t k = 0; k < channels; ++k) {
      const int source = m_layout.sourceOf[k];
      float* out = m_frames.data() + static_cast<std::size_t>(m_held) * channels + k;
      if (source < 0) {
        for (int i = 0; i < frames; ++i, out += channels) *out = 0.0f;
        continue;
      }
      const float* in = converter.Channel(source);
      for (int i = 0; i < frames; ++i, out += channels) *out = in[i] * gain;
    }
    const int ready = m_held + frames - 1;
    if (!encoder.Write(m_frames.data(), ready)) return false;
    m_handed += static_cast<std::uint64_t>(ready);
    std::copy_n(m_frames.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(ready) * channels), channels,
                m_frames.begin());
    m_held = 1;
    return true;
  }

  // Hands on the held frame where it belongs to the `target` frames, and silence up to them.
  bool Finish(std::uint64_t target, OpusEncoder& encoder) {
    if (m_held && m_handed < target) {
      if (!encoder.Write(m_frames.data(), 1)) return false;
      ++m_handed;
    }
    m_held = 0;
    std::fill(m_frames.begin(), m_frames.end(), 0.0f);
    const auto room = static_cast<std::uint64_t>(m_frames.size() / static_cast<std::size_t>(m_layout.channels));
    while (m_handed < target) {
      const auto count = static_cast<int>(std::min(room, target - m_handed));
      if (!encoder.Write(m_frames.data(), count)) return false;
      m_handed += static_cast<std::uint64_t>(count);
    }
    return true;
  }

 private:
  OpusLayout m_layout;
  std::vector<float> m_frames;
  int m_held = 0;
  std::uint64_t m_handed = 0;
};

struct OpusFileCloser {
  void operator()(OggOpusFile* file) const { op_free(file); }
};

FileOutcome Mismatch(std::string detail) {
  return FileOutcome::Failure(FileReason::VerificationFailed, std::move(detail));
}

}  // namespace

std::optional<WavFormat> OpusHandedOn(const SourceInfo& source, const ConversionOptions&) {
  if (source.sampleRate <= 0 || OpusLayoutFor(source.channels).channels == 0) return std::nullopt;
  // The width is not read for a lossy output; 16 bits is what players decode to.
  return WavFormat{kOpusRate, source.channels, 16};
}

std::uint64_t OpusFrames(std::uint64_t frames, int rate) {
  if (rate <= 0) return 0;
  const auto r = static_cast<std::uint64_t>(rate);
  return (frames * kOpusRate * 2 + r) / (2 * r);
}

int R128GainQ8(double replayGainDb) {
  const double q8 = std::round((replayGainDb - kReplayGainOverR128Db) * 256.0);
  return static_cast<int>(std::clamp(q8, -32768.0, 32767.0));
}

FileOutcome ConvertFileToOpus(AiffReader& reader, const std::string&, OutputFile& output,
                              const ConversionOptions& options, const FileContext& context) {
  const SourceInfo& info = reader.Info();
  if (info.sampleRate <= 0) return InvalidRate(info.sampleRate);
  const OpusLayout layout = OpusLayoutFor(info.channels);
  FullPrecisionConverter converter;
  if (layout.channels == 0 || !converter.ConfigureEveryChannel(info, kOpusRate)) {
    return FileOutcome::RateFailure(FileReason::CannotResample, info.sampleRate, kOpusRate);
  }
  OpusEncoder encoder;
  std::vector<TagNote> tagNotes;
  AddTags(encoder, TagsToCarry(reader, options.tags, {}, tagNotes, context.cancel), tagNotes, context);
  if (StopSeen(context)) return FileOutcome::Cancelled();
  if (!encoder.Open(output, layout, OpusBitRate(options.opus, info.channels), options.opus.vbr)) {
    return encoder.Failure();
  }
  // Opus has no gain of its own; normalisation's applies.
  const float gain = ChooseGain(std::nullopt, context).value_or(1.0f);
  OpusFeed feed(layout, converter.OutputCapacity());
  FileOutcome outcome = PumpBlocks(
      reader, context, [&](bool& end) { return reader.ReadFullBlock(converter.Block(), end); },
      [&](int frames) { return feed.Add(converter, converter.Convert(frames), gain, encoder); });
  if (outcome.result != FileResult::Converted) {
    return outcome.reason == FileReason::WriteFailed ? encoder.Failure() : outcome;
  }
  const int last = converter.Flush(context.cancel);
  // A Cancel stops the end of a resampled stream, which would leave the output short.
  if (converter.Resampling() && StopSeen(context)) return FileOutcome::Cancelled();
  const std::uint64_t frames = OpusFrames(outcome.framesRead, info.sampleRate);
  // The encoder cannot end a stream it was handed no sample of.
  if (frames == 0) return FileOutcome::Failure(FileReason::NoSoundForOpus);
  if (!feed.Add(converter, last, gain, encoder) || !feed.Finish(frames, encoder) || !encoder.Close()) {
    return encoder.Failure();
  }
  outcome.tagNotes = std::move(tagNotes);
  outcome.written = {frames, kOpusRate, layout.channels, std::nullopt};
  return outcome;
}

FileOutcome VerifyOpusFile(const std::string& path, const WrittenSound& written, const ConversionOptions&,
                           const std::atomic<bool>* cancel) {
  int error = 0;
  const std::unique_ptr<OggOpusFile, OpusFileCloser> file(op_open_file(path.c_str(), &error));
  if (!file) return Mismatch("the decoder cannot open the stream (error " + std::to_string(error) + ")");
  const OpusHead* head = op_head(file.get(), -1);
  if (!head || head->channel_count != written.channels) {
    return Mismatch(std::to_string(head ? head->channel_count : 0) + " channels, " + std::to_string(written.channels) +
                    " written");
  }
  std::vector<float> pcm(static_cast<std::size_t>(kMaxDecodedFrames) * static_cast<std::size_t>(written.channels));
  std::uint64_t decoded = 0;
  for (;;) {
    const int frames = op_read_float(file.get(), pcm.data(), static_cast<int>(pcm.size()), nullptr);
    if (frames < 0) {
      return Mismatch("decoding failed after " + std::to_string(decoded) + " frames (error " + std::to_string(frames) +
                      ")");
    }
    if (frames == 0) break;
    decoded += static_cast<std::uint64_t>(frames);
    if (cancel && cancel->load(std::memory_order_relaxed)) return FileOutcome::Cancelled();
  }
  if (decoded != written.frames) {
    return Mismatch(std::to_string(decoded) + " frames decoded, " + std::to_string(written.frames) + " written");
  }
  return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};
}

}  // namespace velmora
