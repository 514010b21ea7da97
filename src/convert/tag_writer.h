#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/source_tags.h"
#include "settings/converter_settings.h"

namespace velmora {

// An ID3v2.3 tag holding the tags: title TIT2, artist TPE1, album TALB, year TYER, track TRCK,
// genre TCON, comment COMM, copyright TCOP and every picture as APIC. Each text is
// ISO-8859-1 when it fits and UTF-16 otherwise. Empty when there is nothing to write.
std::vector<std::uint8_t> BuildId3v2Tag(const SourceTags& tags);

// The chunks a WAV file carries its tags in: a "LIST" chunk of type INFO (INAM, IART, IPRD,
// ICRD, ICMT, ICOP, IGNR, ITRK; UTF-8 texts) and the ID3v2.3 tag in an "id3 " chunk, each
// padded to an even size. Empty when there is nothing to write.
std::vector<std::uint8_t> BuildWavTagChunks(const SourceTags& tags);

// The source's tags with the ID3v1 options' values in the fields the source leaves empty:
// title (`title`, which may come from the file name), artist, album, year, comment and a genre
// from the list.
SourceTags FillFromId3Options(SourceTags tags, const Id3TagRecord& options, const std::string& title);

}  // namespace velmora
