#include "convert/wav_readback.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "convert/sample_hash.h"
#include "convert/wav_layout.h"

namespace velmora {
namespace {

using namespace wav_layout;

// Sound is read and hashed this much at a time; Cancel is looked for between reads.
constexpr std::size_t kReadBlockBytes = std::size_t{1} << 20;
// A file of tiny chunks still answers Cancel while its chunk list is walked.
constexpr std::uint64_t kChunksBetweenCancelChecks = 4096;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | static_cast<std::uint32_t>(Le16(p + 2)) << 16; }
std::uint64_t Le64(const std::uint8_t* p) { return Le32(p) | static_cast<std::uint64_t>(Le32(p + 4)) << 32; }

FileOutcome Differs(std::string detail) {
  return FileOutcome::Failure(FileReason::VerificationFailed, std::move(detail));
}

bool Stopped(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

struct SampleLayout {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  bool isFloat = false;
  std::size_t blockAlign = 0;
};

// The fmt chunk's layout, or why it is not one Velmora writes: plain PCM for 8 and 16 bits,
// the extensible format for integers of 8 to 32 bits and floats of 32 and 64.
std::optional<SampleLayout> ParseFmt(const std::uint8_t* fmt, std::size_t size, std::string& why) {
  const std::uint16_t tag = Le16(fmt);
  SampleLayout layout;
  layout.channels = Le16(fmt + 2);
  layout.rate = static_cast<int>(Le32(fmt + 4) & 0x7FFFFFFF);
  const std::uint32_t byteRate = Le32(fmt + 8);
  layout.blockAlign = Le16(fmt + 12);
  layout.bits = Le16(fmt + 14);
  bool validBits = false;
  if (tag == kFormatPcm) {
    validBits = layout.bits == 8 || layout.bits == 16;
  } else if (tag == kFormatExtensible) {
    if (size < kExtensibleFmtBytes || Le16(fmt + 16) < kExtensionBytes) {
      why = "the extensible fmt chunk is too short";
      return std::nullopt;
    }
    const std::uint16_t subtype = Le16(fmt + 24);
    if ((subtype != kFormatPcm && subtype != kFormatFloat) ||
        std::memcmp(fmt + 26, kSubtypeTail, sizeof kSubtypeTail) != 0) {
      why = "the sample format is neither integer nor float";
      return std::nullopt;
    }
    layout.isFloat = subtype == kFormatFloat;
    validBits = Le16(fmt + 18) == layout.bits &&
                (layout.isFloat ? layout.bits == 32 || layout.bits == 64
                                : layout.bits == 8 || layout.bits == 16 || layout.bits == 24 || layout.bits == 32);
  } else {
    why = "format tag " + std::to_string(tag) + " is not PCM";
    return std::nullopt;
  }
  const auto frameBytes = static_cast<std::size_t>(layout.channels) * static_cast<std::size_t>(layout.bits / 8);
  if (!validBits || layout.channels == 0 || layout.blockAlign != frameBytes ||
      byteRate != static_cast<std::uint64_t>(layout.rate) * frameBytes) {
    why = "the fmt chunk's sizes do not agree (" + std::to_string(layout.bits) + " bits, " +
          std::to_string(layout.channels) + " channels, block " + std::to_string(layout.blockAlign) + ")";
    return std::nullopt;
  }
  return layout;
}

// Hashes `samples` little-endian samples of the layout, as the writers hash what they are handed:
// integers by value (8-bit ones made signed), floats by their bits.
void HashSamples(const std::uint8_t* bytes, std::size_t samples, const SampleLayout& layout, SampleHash& hash) {
  constexpr std::size_t kChunkSamples = 1024;
  std::int32_t ints[kChunkSamples];
  float floats[kChunkSamples];
  double doubles[kChunkSamples];
  const auto width = static_cast<std::size_t>(layout.bits / 8);
  for (std::size_t done = 0; done < samples;) {
    const std::size_t n = std::min(kChunkSamples, samples - done);
    const std::uint8_t* p = bytes + done * width;
    for (std::size_t i = 0; i < n; ++i, p += width) {
      if (layout.isFloat && layout.bits == 32) {
        floats[i] = std::bit_cast<float>(Le32(p));
      } else if (layout.isFloat) {
        doubles[i] = std::bit_cast<double>(Le64(p));
      } else if (layout.bits == 8) {
        ints[i] = p[0] - 128;
      } else if (layout.bits == 16) {
        ints[i] = static_cast<std::int16_t>(Le16(p));
      } else if (layout.bits == 24) {
        // The top byte shifted into place and back sign-extends the 24-bit value.
        ints[i] = static_cast<std::int32_t>((Le16(p) | static_cast<std::uint32_t>(p[2]) << 16) << 8) >> 8;
      } else {
        ints[i] = static_cast<std::int32_t>(Le32(p));
      }
    }
    if (layout.isFloat && layout.bits == 32) hash.Add(floats, n);
    else if (layout.isFloat) hash.Add(doubles, n);
    else hash.Add(ints, n);
    done += n;
  }
}

}  // namespace

FileOutcome CheckWavReadback(std::uint64_t fileSize, const ReadBytesAt& readAt, const WrittenSound& written,
                             const std::atomic<bool>* cancel) {
  std::uint8_t header[kExtensibleFmtBytes] = {};
  if (fileSize < kRiffHeaderBytes || !readAt(0, header, kRiffHeaderBytes))
    return Differs("the file is too short for a WAV header");
  const bool rf64 = std::memcmp(header, "RF64", 4) == 0;
  if ((!rf64 && std::memcmp(header, "RIFF", 4) != 0) || std::memcmp(header + 8, "WAVE", 4) != 0) {
    return Differs("the file does not start as RIFF/WAVE or RF64/WAVE");
  }
  std::uint64_t riffSize = Le32(header + 4);
  // RF64's 64-bit sizes, from the ds64 chunk that must come first; they stand in for the
  // 32-bit RIFF, data and fact fields that hold 0xFFFFFFFF.
  std::uint64_t ds64Data = 0, ds64Frames = 0;
  if (rf64) {
    std::uint8_t ds64[kChunkHeaderBytes + 24];
    if (fileSize - kRiffHeaderBytes < sizeof ds64 || !readAt(kRiffHeaderBytes, ds64, sizeof ds64) ||
        std::memcmp(ds64, "ds64", 4) != 0 || Le32(ds64 + 4) < 24) {
      return Differs("the RF64 file does not start with a ds64 chunk");
    }
    if (riffSize == kSizeInDs64) riffSize = Le64(ds64 + 8);
    ds64Data = Le64(ds64 + 16);
    ds64Frames = Le64(ds64 + 24);
  }
  if (riffSize != fileSize - 8) {
    return Differs("the RIFF size says " + std::to_string(riffSize) + " + 8 bytes, the file has " +
                   std::to_string(fileSize));
  }

  // Every chunk first, up to the end of the file, then the checks that need fmt and data.
  std::optional<SampleLayout> layout;
  std::optional<std::uint64_t> dataAt, dataBytes, factFrames;
  std::uint64_t chunks = 0;
  for (std::uint64_t at = kRiffHeaderBytes; at < fileSize;) {
    if (++chunks % kChunksBetweenCancelChecks == 0 && Stopped(cancel)) return FileOutcome::Cancelled();
    std::uint8_t chunk[kChunkHeaderBytes];
    if (fileSize - at < kChunkHeaderBytes || !readAt(at, chunk, kChunkHeaderBytes)) {
      return Differs("a chunk header at byte " + std::to_string(at) + " runs past the end of the file");
    }
    const std::string id(reinterpret_cast<const char*>(chunk), 4);
    const std::uint64_t body = at + kChunkHeaderBytes;
    std::uint64_t size = Le32(chunk + 4);
    if (rf64 && size == kSizeInDs64 && id == "data") size = ds64Data;
    if (size > fileSize - body) return Differs("the '" + id + "' chunk runs past the end of the file");
    if (id == "fmt ") {
      if (layout) return Differs("the file has two fmt chunks");
      if (size < kPcmFmtBytes) return Differs("the fmt chunk is too short");
      const auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(size, kExtensibleFmtBytes));
      if (!readAt(body, header, bytes)) return Differs("the fmt chunk cannot be read");
      std::string why;
      layout = ParseFmt(header, bytes, why);
      if (!layout) return Differs(why);
    } else if (id == "data") {
      if (!layout) return Differs("the data chunk comes before the fmt chunk");
      if (dataAt) return Differs("the file has two data chunks");
      dataAt = body;
      dataBytes = size;
    } else if (id == "fact" && size >= 4) {
      if (!readAt(body, chunk, 4)) return Differs("the fact chunk cannot be read");
      factFrames = Le32(chunk);
      if (rf64 && *factFrames == kSizeInDs64) factFrames = ds64Frames;
    }
    // A chunk of odd size is followed by a pad byte, which the last chunk may leave out.
    at = body + size + (size & 1);
  }
  if (!layout) return Differs("the file has no fmt chunk");
  if (!dataAt) return Differs("the file has no data chunk");
  if (layout->rate != written.sampleRate || layout->channels != written.channels) {
    return Differs("the file is " + std::to_string(layout->channels) + " channels at " + std::to_string(layout->rate) +
                   " Hz, " + std::to_string(written.channels) + " at " + std::to_string(written.sampleRate) +
                   " Hz were written");
  }
  if (*dataBytes % layout->blockAlign != 0) return Differs("the data is not a whole number of frames");
  const std::uint64_t frames = *dataBytes / layout->blockAlign;
  if (frames != written.frames) {
    return Differs("the file holds " + std::to_string(frames) + " frames, " + std::to_string(written.frames) +
                   " were written");
  }
  if (rf64 && ds64Frames != written.frames) {
    return Differs("the ds64 chunk counts " + std::to_string(ds64Frames) + " frames, " +
                   std::to_string(written.frames) + " were written");
  }
  if (factFrames && *factFrames != written.frames) {
    return Differs("the fact chunk counts " + std::to_string(*factFrames) + " frames, " +
                   std::to_string(written.frames) + " were written");
  }
  if (!written.sampleHash) return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};

  SampleHash hash;
  const std::size_t blockBytes = kReadBlockBytes / layout->blockAlign * layout->blockAlign;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, *dataBytes)));
  const auto width = static_cast<std::size_t>(layout->bits / 8);
  for (std::uint64_t done = 0; done < *dataBytes;) {
    if (Stopped(cancel)) return FileOutcome::Cancelled();
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, *dataBytes - done));
    if (!readAt(*dataAt + done, block.data(), n)) return Differs("the sound cannot be read back");
    HashSamples(block.data(), n / width, *layout, hash);
    done += n;
  }
  if (hash.Value() != *written.sampleHash) return Differs("the samples read back are not those written");
  return {FileResult::Converted, FileReason::None, 0, {}, 0, 0};
}

FileOutcome VerifyWav(const std::string& path, const WrittenSound& written, const ConversionOptions&,
                      const std::atomic<bool>* cancel) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::ifstream file(path, std::ios::binary);
  if (error || !file) return Differs("the file cannot be opened to be read back");
  const ReadBytesAt readAt = [&file](std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return file.gcount() == static_cast<std::streamsize>(count);
  };
  return CheckWavReadback(size, readAt, written, cancel);
}

}  // namespace velmora
