#pragma once

#include <cstdint>
#include <string>

#include "audio/aiff_reader.h"
#include "convert/file_context.h"
#include "convert/file_outcome.h"

namespace velmora {

// Whether the batch's stop flag is set: a file that sees it ends as Cancelled.
inline bool StopSeen(const FileContext& context) {
  return context.cancel && context.cancel->load(std::memory_order_relaxed);
}

// The block loop every conversion shares: read, report, look for Cancel, hand the block on.
// `read(end)` reads the next block and returns its frame count; `consume(frames)` returns false
// when the output failed (the outcome is then WriteFailed, for the writer to explain). A Cancel
// seen with the block that ends the data comes too late to matter: that block is written and
// the file is complete. A converted outcome says SourceEndsEarly when the reader delivered
// fewer frames than the header announced.
template <typename Read, typename Consume>
FileOutcome PumpBlocks(AiffReader& reader, const FileContext& context, Read read, Consume consume) {
  FileOutcome outcome{FileResult::Converted, FileReason::None, 0, {}, 0, reader.Info().frames};
  bool end = false;
  while (!end) {
    const int frames = read(end);
    if (frames <= 0) break;
    outcome.framesRead += static_cast<std::uint64_t>(frames);
    if (context.progress) context.progress(outcome.framesRead);
    if (StopSeen(context) && !end) return FileOutcome::Cancelled();
    if (!consume(frames)) return {FileResult::Failed, FileReason::WriteFailed, 0, {}, 0, 0};
  }
  if (reader.Error() != AiffError::None) return FileOutcome::Unreadable(reader.Error(), reader.ErrorDetail());
  if (outcome.framesRead < outcome.framesExpected) outcome.reason = FileReason::SourceEndsEarly;
  return outcome;
}

}  // namespace velmora
