#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What of a source's tags or chunks was left out, or how its samples are stored otherwise, and
// why: one note per kind and chunk or frame id, with the count of things it stands for. The
// engine fills in the numbers; each front end words the kind (the command line in English, the
// window in the user's language).
struct TagNote {
  enum class Kind {
    TextChunkOverLimit,   // text chunks `id` of `bytes`, past the `limit` for all texts
    TextFrameOverLimit,   // ID3 frames `id` of `bytes`, past the `limit` for all texts
    PictureOverLimit,     // pictures of `bytes`, past the `limit` for all pictures
    TooManyPictures,      // pictures past the `limit` of pictures kept
    TooManyChunks,        // metadata chunks past the `limit` of chunks read
    InflatingOverLimit,   // compressed ID3 frames of `bytes`, past the `limit` for inflating
    DamagedText,          // ID3 frames `id` whose text is not valid
    Id3ChunkTooLarge,     // ID3 chunks of `bytes`, each past the `limit` of a chunk: no tags copied
    ChunkTooLarge,        // text chunks `id` of `bytes`, each past the `limit` of a chunk
    OutputTagTooLarge,    // the output's ID3 tag of `bytes` would pass the `limit` of its size field
    PictureOverBlock,     // pictures of `bytes` (their data), each past the `limit` of a FLAC block
    ChunksNotKept,        // source chunks, the first `id`, of `bytes`, each past the `limit` of a FLAC
                          // block: the AIFF rebuilt from the FLAC file is not the source
    FloatAsInteger,       // float samples stored as integers of `limit` bits, as FLAC holds no floats
    PictureNotCarried,    // pictures of `bytes` the output cannot carry: not JPEG, PNG or GIF
    MarkerDropped,        // markers past the file's `limit` frames, or whose id is bad or repeats
    LoopBadPlayMode,      // instrument loops whose play mode is not 0, 1 or 2
    LoopMarkerMissing,    // instrument loops naming a marker the file does not have
    LoopEndBeforeBegin,   // instrument loops that end where or before they begin
    SamplerChunkShort,    // a MARK or INST chunk (`id`) shorter than what it holds: the rest left out
  };
  Kind kind = Kind::DamagedText;
  std::string id;           // the chunk's or frame's id ("ANNO", "(c) ", "TIT2", "TT2"), where the kind has one
  std::uint64_t count = 0;  // how many things were left out
  std::uint64_t bytes = 0;  // their size together, where the kind has one
  std::uint64_t limit = 0;  // the limit they passed: bytes, or a count for TooManyPictures and TooManyChunks

  bool operator==(const TagNote&) const = default;
};

// Counts `count` more things of `bytes` under the note of `kind` and `id`, made with `limit` the
// first time, so a file with many such things gets one note.
inline void CountNote(std::vector<TagNote>& notes, TagNote::Kind kind, std::string_view id = {},
                      std::uint64_t bytes = 0, std::uint64_t limit = 0, std::uint64_t count = 1) {
  auto note = std::find_if(notes.begin(), notes.end(), [&](const TagNote& n) { return n.kind == kind && n.id == id; });
  if (note == notes.end()) note = notes.insert(notes.end(), {kind, std::string(id), 0, 0, limit});
  note->count += count;
  note->bytes += bytes;
}

}  // namespace velmora
