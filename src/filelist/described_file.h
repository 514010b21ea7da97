#pragma once

#include <optional>
#include <string>

#include "audio/aiff_error.h"
#include "audio/source_info.h"
#include "platform/folder_listing.h"

namespace velmora {

// What the file list needs to know of a candidate, read from its header alone.
struct DescribedFile {
  std::string path;
  std::optional<FileIdentity> identity;  // nothing when the path names nothing
  bool readable = false;                 // it opened as AIFF/AIFF-C; `info` is valid
  SourceInfo info;
  AiffError error = AiffError::None;     // why it did not open, with the reader's detail
  std::string errorDetail;
  std::string root;  // the folder added or dropped it was found under; empty for a file by itself
};

// Opens `path` only to describe it; no sound is decoded. Safe on any thread.
DescribedFile DescribeFile(const std::string& path);

}  // namespace velmora
