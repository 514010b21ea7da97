#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audio/aiff_reader.h"
#include "audio/source_tags.h"
#include "settings/conversion_options.h"

namespace velmora {

// Texts under names of their own (ID3's TXXX frames), such as REPLAYGAIN_TRACK_GAIN.
using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// The largest ID3v2 tag: a 10-byte header and a body whose size fits 28 bits.
inline constexpr std::size_t kMaxId3v2TagBytes = 10 + 0x0FFFFFFF;

// An ID3v2.3 tag holding the tags: title TIT2, artist TPE1, album TALB, year TYER, track TRCK,
// genre TCON, comment COMM, copyright TCOP, the named texts as TXXX and every picture as APIC. Each text is
// ISO-8859-1 when it fits and UTF-16 otherwise. Empty when there is nothing to write, and when
// the tag would be larger than kMaxId3v2TagBytes (then a note says so, where `notes` is given).
std::vector<std::uint8_t> BuildId3v2Tag(const SourceTags& tags, std::vector<TagNote>* notes = nullptr,
                                        const NamedTexts& named = {});

// The chunks a WAV file carries its tags in: a "LIST" chunk of type INFO (INAM, IART, IPRD,
// ICRD, ICMT, ICOP, IGNR, ITRK; UTF-8 texts) and the ID3v2.3 tag in an "id3 " chunk, each
// padded to an even size; the named texts go into the ID3 tag. Empty when there is nothing to
// write; an ID3 tag refused for its size is left out with a note, as above.
std::vector<std::uint8_t> BuildWavTagChunks(const SourceTags& tags, std::vector<TagNote>* notes = nullptr,
                                            const NamedTexts& named = {});

// The source's tags with the values the user gave in the ID3 options in their place: title,
// artist, album, year, comment and a genre from the list, in UTF-8 as typed. With the title
// taken from the file name (or no title given), `fileNameTitle` only fills a missing title.
SourceTags ApplyId3Options(SourceTags tags, const Id3TagRecord& options, const std::string& fileNameTitle);

// The tags an output carries of its source under `options`: none with copying off; the ID3
// options win where the ID3 tag is on (for a source with tags of its own), `fileNameTitle`
// filling a missing title (MP3 only, as in its ID3v1 tag). `notes` gets what was left out of
// the source's. The reading ends early once `cancel` is set.
SourceTags TagsToCarry(const AiffReader& reader, const TagOptions& options, const std::string& fileNameTitle,
                       std::vector<TagNote>& notes, const std::atomic<bool>* cancel = nullptr);

}  // namespace velmora
