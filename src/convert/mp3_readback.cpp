#include "convert/mp3_readback.h"

#include <mpg123.h>

#include <algorithm>
#include <filesystem>
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
constexpr std::uintmax_t kLargestFrameBytes = 1441;

struct HandleCloser {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};

FileOutcome Differs(std::string detail) {
  return FileOutcome::Failure(FileReason::VerificationFailed, std::move(detail));
}

// The check of the one-frame stream made from a source without sound.
FileOutcome OneSilentFrame(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::ifstream file(path, std::ios::binary);
  unsigned char sync[2] = {};
  file.read(reinterpret_cast<char*>(sync), sizeof sync);
  const bool header = file && sync[0] == 0xFF && (sync[1] & 0xE0) == 0xE0;
  if (!error && header && size <= kLargestFrameBytes) return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};
  return Differs("a source without sound should give one MP3 frame");
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
  // A source without sound gives a stream of one frame of silence, which the decoder library
  // cannot read (it checks each header against the next): such a file is held to starting
  // with a frame header and being no longer than the largest frame.
  if (written.frames == 0) return OneSilentFrame(path);
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
