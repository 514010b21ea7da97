#include "convert/mp3_readback.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace {

// The encoder puts this many frames of its own in front of the sound, and leaves at least as
// many after it to fill the last MP3 frame, so that the decoder's overlap ends inside the stream.
constexpr std::uint64_t kEncoderDelay = 576;
constexpr std::uint64_t kLeastPadding = 576;
constexpr std::size_t kDecodeBytes = std::size_t{1} << 16;
// 320 kbit/s at 32 kHz with a padding byte.
constexpr std::uint64_t kLargestFrameBytes = 1441;
constexpr std::uint64_t kId3v2HeaderBytes = 10;
constexpr std::uint64_t kId3v1Bytes = 128;

struct HandleCloser {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};

FileOutcome Differs(std::string detail) {
  return FileOutcome::Failure(FileReason::VerificationFailed, std::move(detail));
}

// The check of the stream made from a source without sound: after any ID3v2 tag, a frame
// header, and no more than an information frame and one frame of silence before any ID3v1 tag.
FileOutcome NoSoundStream(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  const auto size = static_cast<std::uint64_t>(std::max<std::streamoff>(file.tellg(), 0));
  const auto readAt = [&](std::uint64_t offset, unsigned char* bytes, std::size_t count) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
    return static_cast<bool>(file);
  };
  std::uint64_t start = 0;
  unsigned char head[kId3v2HeaderBytes] = {};
  if (readAt(0, head, sizeof head) && std::memcmp(head, "ID3", 3) == 0) {
    // A syncsafe size of 28 bits after the header, and a footer of the header's size if flagged.
    const std::uint64_t body = (std::uint64_t{head[6] & 0x7Fu} << 21) | (std::uint64_t{head[7] & 0x7Fu} << 14) |
                               (std::uint64_t{head[8] & 0x7Fu} << 7) | (head[9] & 0x7Fu);
    start = kId3v2HeaderBytes + body + ((head[5] & 0x10) ? kId3v2HeaderBytes : 0);
  }
  std::uint64_t end = size;
  unsigned char tag[3] = {};
  if (size >= start + kId3v1Bytes && readAt(size - kId3v1Bytes, tag, sizeof tag) && std::memcmp(tag, "TAG", 3) == 0) {
    end -= kId3v1Bytes;
  }
  unsigned char sync[2] = {};
  const bool header = start < end && readAt(start, sync, sizeof sync) && sync[0] == 0xFF && (sync[1] & 0xE0) == 0xE0;
  if (header && end - start <= 2 * kLargestFrameBytes) return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};
  return Differs("a source without sound should give at most two MP3 frames");
}

}  // namespace

FileOutcome VerifyMp3(const std::string& path, const WrittenSound& written, const ConversionOptions& options,
                      const std::atomic<bool>* cancel) {
  // Older versions of the library want this once per process, before any handle.
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  std::unique_ptr<mpg123_handle, HandleCloser> handle(mpg123_new(nullptr, &error));
  if (!handle) return Differs("the MP3 decoder cannot start");
  // A source without sound gives a stream of one frame of silence (after an information frame
  // where there is one), which the decoder library cannot read, as it checks each header
  // against the next: such a file is held to its shape instead.
  if (written.frames == 0) return NoSoundStream(path);
  // Without resync the decoder reports a frame it cannot follow on from the last instead of
  // searching for the next one in silence.
  mpg123_param(handle.get(), MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_NO_RESYNC, 0.0);
  if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) return Differs("the file cannot be opened to be read back");
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) {
    return Differs(std::string("the file does not decode: ") + mpg123_strerror(handle.get()));
  }
  if (rate != written.sampleRate || channels != written.channels) {
    return Differs("the file is " + std::to_string(channels) + " channels at " + std::to_string(rate) + " Hz, " +
                   std::to_string(written.channels) + " at " + std::to_string(written.sampleRate) + " Hz were written");
  }
  // A later frame of another format is a fault, not a change to follow.
  mpg123_format_none(handle.get());
  mpg123_format(handle.get(), rate, channels, encoding);
  // Every frame of the stream has the first one's length, as the format is held.
  const auto frameLength = static_cast<std::uint64_t>(std::max(mpg123_spf(handle.get()), 1));
  const auto frameBytes = static_cast<std::size_t>(mpg123_encsize(encoding)) * static_cast<std::size_t>(channels);
  std::vector<unsigned char> block(kDecodeBytes);
  std::uint64_t decoded = 0;
  while (true) {
    std::size_t bytes = 0;
    const int result = mpg123_read(handle.get(), block.data(), block.size(), &bytes);
    decoded += bytes / frameBytes;
    if (cancel && cancel->load(std::memory_order_relaxed)) return FileOutcome::Cancelled();
    if (result == MPG123_DONE) break;
    if (result != MPG123_OK) {
      return Differs("decoding failed after " + std::to_string(decoded) + " frames: " +
                     (result == MPG123_NEW_FORMAT ? std::string("the format changes") : mpg123_strerror(handle.get())));
    }
  }

  long delay = -1;
  mpg123_getstate(handle.get(), MPG123_ENC_DELAY, &delay, nullptr);
  const bool informationFrame = delay >= 0;
  // Variable bit rate always writes the frame; a constant one leaves it out where it does not fit.
  if (options.mp3.vbrQuality && !informationFrame) return Differs("the information frame is missing");
  if (informationFrame) {
    if (decoded == written.frames) return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};
    return Differs("the file decodes to " + std::to_string(decoded) + " frames, " + std::to_string(written.frames) +
                   " were written");
  }
  // Whole frames: the delay, the sound, and padding of at least kLeastPadding that ends the last
  // frame. That leaves a window one frame wide, so a frame lost or added always falls outside.
  const std::uint64_t least = written.frames + kEncoderDelay + kLeastPadding;
  if (decoded >= least && decoded < least + frameLength) return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};
  return Differs("the file decodes to " + std::to_string(decoded) + " frames with the encoder's delay and padding, " +
                 "between " + std::to_string(least) + " and " + std::to_string(least + frameLength - 1) +
                 " were expected");
}

}  // namespace velmora
