#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "audio/tag_note.h"

namespace velmora {

// What one source's tags may carry into memory. A few kilobytes of deflated data can inflate
// to hundreds of megabytes, and every text or picture is copied on its way into the output, so
// the limits are on the sizes as they will be held, checked before anything is inflated or
// copied. Counts are bounded too: a million one-byte frames cost far more than their bytes.
inline constexpr std::size_t kMaxTagTextBytes = std::size_t{1} << 20;      // all texts together
inline constexpr std::size_t kMaxTagPictureBytes = std::size_t{16} << 20;  // all pictures together
inline constexpr int kMaxTagPictures = 4;  // a front cover and a few more is what players show
// A file's list of metadata chunks holds at most this many: each costs more than its header.
inline constexpr std::size_t kMaxMetadataChunks = std::size_t{1} << 17;
// Deflated data that lies about its size is inflated to find out, kept or not; this bounds the
// work of all such attempts for one source.
inline constexpr std::size_t kMaxTagInflateBytes = std::size_t{64} << 20;
// Larger metadata chunks are not read at all.
inline constexpr std::size_t kMaxMetadataChunkBytes = std::size_t{16} << 20;

// The room left for one source's texts and pictures, what was left out for lack of it, and
// the batch's stop flag, which ends a reading early.
struct TagBudget {
  std::size_t textBytes = kMaxTagTextBytes;
  std::size_t pictureBytes = kMaxTagPictureBytes;
  std::size_t inflateBytes = kMaxTagInflateBytes;
  int pictures = kMaxTagPictures;
  bool keepPictures = true;  // false: pictures are skipped without a note (a reading for names)
  const std::atomic<bool>* stop = nullptr;

  bool Stopped() const { return stop && stop->load(std::memory_order_relaxed); }
  // Takes `bytes` from the text room; false (and a note naming the chunk) when they do not fit.
  bool TakeText(std::size_t bytes, std::string_view chunkId);
  // Notes `count` things of `bytes` in all left out, merged with earlier ones of the same kind
  // and id; the note carries the limit the kind passed.
  void Note(TagNote::Kind kind, std::string_view id, std::uint64_t bytes = 0, std::uint64_t count = 1);
  // The notes, one per kind and id, in the order each was first met.
  const std::vector<TagNote>& Notes() const { return m_notes; }

 private:
  std::vector<TagNote> m_notes;  // a handful: one per kind and frame or chunk id
};

// A picture frame's contents as stored once inflated and resynchronised (APIC, or PIC in
// version 2.2, whose MIME type is a three-letter format), with the encoding byte one Velmora
// knows; the image starts at `imageAt`, after the description, and is never empty.
struct ScreenedPicture {
  std::vector<std::uint8_t> contents;
  std::size_t imageAt = 0;
};

// What of an ID3v2 tag Velmora reads: a plain tag of the text frames (title, artist, album,
// year, track, genre, copyright: the first of each; comments without a description: the first
// few), with the source's version and no flags, and the pictures, in order.
struct ScreenedTag {
  int version = 0;
  std::vector<std::uint8_t> texts;  // empty when no text frame is kept
  std::vector<ScreenedPicture> pictures;
};

// Screens the ID3v2 tag at `bytes` within the budget: compressed frames are inflated here, at
// most to the size they declare and only when that fits the room left, and are charged what
// they hold once inflated; unsynchronised data is restored, encrypted and damaged frames are
// dropped at no cost, and a text encoding byte Velmora does not know is read as ISO-8859-1.
// The work is linear in the tag's size. Nothing when the bytes are no ID3v2 tag, when the tag
// does not fit in `size`, or when the budget's stop flag is seen.
ScreenedTag ScreenId3v2Tag(const std::uint8_t* bytes, std::size_t size, TagBudget& budget);

}  // namespace velmora
