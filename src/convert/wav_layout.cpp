#include "convert/wav_layout.h"

#include <cstring>

#include "convert/little_endian.h"

namespace velmora::wav_layout {
namespace {

constexpr std::uint64_t kRiffSizeAt = 4;

}  // namespace

std::uint8_t* PutRiffStart(std::uint8_t* header, bool rf64) {
  std::memcpy(header, rf64 ? "RF64" : "RIFF", 4);
  std::memcpy(header + 8, "WAVE", 4);
  std::uint8_t* next = header + kRiffHeaderBytes;
  if (!rf64) return next;
  PutLe32(header + kRiffSizeAt, kSizeInDs64);
  std::memcpy(next, "ds64", 4);
  PutLe32(next + 4, kDs64Bytes);
  return next + kRf64ExtraBytes;
}

bool PatchSizes(OutputFile& file, bool rf64, std::uint64_t riffSize, std::uint64_t dataBytes, std::uint64_t frames,
                std::uint64_t dataSizeAt) {
  if (rf64) {
    std::uint8_t sizes[24];
    PutLe64(sizes, riffSize);
    PutLe64(sizes + 8, dataBytes);
    PutLe64(sizes + 16, frames);
    return file.WriteAt(kDs64SizesAt, sizes, sizeof sizes);
  }
  std::uint8_t size[4];
  PutLe32(size, static_cast<std::uint32_t>(riffSize));
  if (!file.WriteAt(kRiffSizeAt, size, sizeof size)) return false;
  PutLe32(size, static_cast<std::uint32_t>(dataBytes));
  return file.WriteAt(dataSizeAt, size, sizeof size);
}

}  // namespace velmora::wav_layout
