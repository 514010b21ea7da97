#pragma once

#include <cstddef>
#include <cstdint>

#include "audio/source_info.h"

namespace velmora {

// The sound bytes of an open file, held as offsets into the mapped file so that no size read
// from the file can move a read outside it. Invariant: pos <= end <= the file's size.
struct SoundData {
  const std::uint8_t* bytes = nullptr;  // the whole mapped file
  std::size_t pos = 0;                  // first byte not yet decoded
  std::size_t end = 0;                  // one past the last byte of sound data

  std::size_t Remaining() const { return end - pos; }
  const std::uint8_t* Here() const { return bytes + pos; }
};

// Which channel of a frame goes to the right buffer: channels 0 and 1 are delivered, or 0 and 3
// of six (the front pair of the usual 6-channel order). -1 for mono.
inline int SecondDeliveredChannel(int channels) {
  if (channels <= 1) return -1;
  return channels == 6 ? 3 : 1;
}

// One decoder family's block reader. The reader owns one per open file; decoders with state
// (IMA4, GSM, DWVW) keep it here from block to block.
class BlockDecoder {
 public:
  virtual ~BlockDecoder() = default;

  // Decodes the next block into the planar buffers (room for kMaxBlockFrames samples each;
  // int16_t when the file's outputBits is 16, uint8_t when it is 8; right is unused for mono).
  // Returns the frames written, 0 when nothing could be decoded. Sets `end` once the data is
  // used up or cannot be decoded further; never clears it.
  virtual int Decode(SoundData& data, void* left, void* right, bool& end) = 0;

  // Decodes the next block at full resolution: every channel, interleaved, as the file's
  // fullBits/fullFloat say (int32_t, float or double), into room for kMaxBlockFrames frames.
  // Returns and ends like Decode. One stream uses one of the two entry points throughout.
  virtual int DecodeFull(SoundData& data, void* frames, bool& end) = 0;
};

}  // namespace velmora
