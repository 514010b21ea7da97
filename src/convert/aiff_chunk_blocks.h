#pragma once

#include <cstdint>
#include <vector>

#include "audio/aiff_reader.h"
#include "audio/tag_note.h"

namespace velmora {

// The most bytes one FLAC metadata block holds: its length field has 24 bits.
inline constexpr std::uint32_t kMaxFlacBlockBytes = (std::uint32_t{1} << 24) - 1;

// The application id under which a FLAC file keeps an AIFF source's chunks.
inline constexpr char kAiffApplicationId[4] = {'a', 'i', 'f', 'f'};

// The source's chunks as the payloads (after the application id) of FLAC APPLICATION blocks,
// in file order, laid out so that the flac tool's --keep-foreign-metadata decoding rebuilds the
// source byte for byte: the FORM header with its type, then every chunk whole with its pad
// byte, except SSND, of which only its header and its offset and block-size fields travel (the
// sound is the FLAC stream itself).
//
// Only a plain AIFF whose samples FLAC stores as they are qualifies: integer PCM at 8, 16, 24
// or 32 bits, a whole-number rate, at least one frame, an SSND chunk without leading bytes or
// block size that holds exactly the frames COMM announces, and chunks that fill the file exactly. The flac tool
// rebuilds no AIFF-C file, so AIFF-C sources keep no chunks. Anything else gives no blocks. A chunk too large for a
// block is left out, with a note (ChunksNotKept): the file rebuilt from the rest would not be the source.
std::vector<std::vector<std::uint8_t>> AiffChunkBlocks(const AiffReader& reader, std::vector<TagNote>& notes);

}  // namespace velmora
