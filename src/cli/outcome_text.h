#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/sampler_info.h"
#include "audio/source_tags.h"
#include "audio/tag_note.h"
#include "convert/file_outcome.h"
#include "convert/name_pattern.h"

namespace velmora::cli {

// The command line's words for the engine's codes, in English: one function per kind of code.

// 132300 as "132,300".
std::string WithThousands(std::uint64_t number);

// The reason as the command line prints it ("cannot write output: No space left on device",
// "source ends early: 48,510 of 132,300 frames"); empty for none.
std::string ReasonText(const FileOutcome& outcome);

// What a conversion did about loudness: "-14.0 LUFS", "-17.2 LUFS, held by the -1 dBTP
// ceiling", "ReplayGain -6.54 dB"; empty for none.
std::string LoudnessText(const LoudnessNote& note);

// "3 samples not finite, measured as silence".
std::string NonFiniteText(std::uint64_t count);

// What of the tags was left out: "2 pictures of 33,552,384 bytes in all left out (over the
// 16 MiB limit for pictures)", "tags not copied: ID3 chunk of 17 MiB is over the limit".
std::string TagNoteText(const TagNote& note);

// What became of the companions copied beside a file, one text a kind: "2 companion files
// copied", "1 companion file already in the output folder, left alone", "1 companion file over
// the 512 MiB limit, not copied", "companion file booklet.pdf not copied: Permission denied";
// nothing for an empty note.
std::vector<std::string> CompanionTexts(const CompanionNote& note);

// "artist: Ann" lines for listing, in a fixed order, with control characters as spaces;
// pictures as type, MIME type and size.
std::vector<std::string> DescribeTags(const SourceTags& tags);

// The instrument, its loops and the markers, for listing: "instrument: base note 60, detune +5
// cents, notes 0-127, velocities 1-127, gain 0 dB", "sustain loop: forward, frames 1,000 to
// 30,000", "marker 1 at frame 1,000: Start". Names show control characters as spaces.
std::vector<std::string> DescribeSampler(const SamplerInfo& info);

// Why a name pattern was refused: "the name pattern has a '{' without its '}'"; empty for none.
std::string PatternProblemText(const PatternProblem& problem);

}  // namespace velmora::cli
