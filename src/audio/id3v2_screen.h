#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Why something was left out of a source's tags. The notes say it once per kind, with a count.
enum class LeftOut {
  OverTextLimit,     // "ANNO chunk of 2,097,152 bytes left out (over the 1 MiB limit for texts)"
  OverPictureLimit,  // "picture of 16,777,300 bytes left out (over the 16 MiB limit for pictures)"
  TooManyPictures,   // "1,000,000 pictures left out (at most 4 are kept)"
  TooManyChunks,     // "200,000 metadata chunks left out (at most 131,072 are read)"
  OverInflateLimit,  // "compressed ID3 frame of 16,777,216 bytes left out (over the 64 MiB limit for inflating)"
  DamagedText,       // "ID3 TIT2 frame left out (damaged text)"
  Id3ChunkTooLarge,  // "tags not copied: ID3 chunk of 17 MiB is over the limit"
  ChunkTooLarge,     // "ANNO chunk of 17 MiB is over the limit"
};

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
  // Takes `bytes` from the text room; false (and a note naming `what`) when they do not fit.
  bool TakeText(std::size_t bytes, std::string_view what);
  // Notes `count` things of `bytes` in all left out; `what` is singular, its plural adds an "s".
  void Note(LeftOut why, std::string_view what, std::size_t bytes = 0, std::uint64_t count = 1);
  // The notes, one line per kind, in the order each kind was first met.
  std::vector<std::string> Notes() const;

 private:
  struct Tally {
    LeftOut why;
    std::string what;
    std::uint64_t count = 0;
    std::uint64_t bytes = 0;
  };
  std::vector<Tally> m_tallies;  // a handful: one per reason and frame or chunk id
};

// 1536 bytes as "2 KiB", 17 << 20 as "17 MiB": rounded up, so a size over a limit reads so.
std::string SizeText(std::size_t bytes);

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
