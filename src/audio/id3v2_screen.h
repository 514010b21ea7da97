#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// What one source's tags may carry into memory. A few kilobytes of deflated data can inflate
// to hundreds of megabytes, and every text or picture is copied several times on its way into
// the output, so the limits are on the sizes as they will be held, checked before anything is
// inflated or copied.
inline constexpr std::size_t kMaxTagTextBytes = std::size_t{1} << 20;      // all texts together
inline constexpr std::size_t kMaxTagPictureBytes = std::size_t{16} << 20;  // all pictures together

// The room left for one source's texts and pictures, and what was left out for lack of it
// ("picture of 20 MiB left out (over the 16 MiB limit)").
struct TagBudget {
  std::size_t textBytes = kMaxTagTextBytes;
  std::size_t pictureBytes = kMaxTagPictureBytes;
  std::vector<std::string> notes;

  // Takes `bytes` from the text room; false (and a note naming `what`) when they do not fit.
  bool TakeText(std::size_t bytes, const char* what);
  bool TakePicture(std::size_t bytes);
};

// 1536 bytes as "2 KiB", 17 << 20 as "17 MiB": rounded up, so a size over a limit reads so.
std::string SizeText(std::size_t bytes);

// A plain copy of the ID3v2 tag at `bytes` holding only the frames Velmora reads (title,
// artist, album, year, track, genre, copyright, comments and pictures) that fit the budget:
// compressed frames are inflated here, at most to the size they declare, unsynchronised data
// is restored, encrypted frames are dropped, and a text encoding byte Velmora does not know
// is read as ISO-8859-1. The copy has the source's version and no flags. Empty when the bytes
// are no ID3v2 tag, or when the tag does not fit in `size`.
std::vector<std::uint8_t> ScreenId3v2Tag(const std::uint8_t* bytes, std::size_t size, TagBudget& budget);

}  // namespace velmora
