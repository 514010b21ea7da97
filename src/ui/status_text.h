#pragma once

#include <QString>
#include <string>

#include "convert/file_outcome.h"
#include "convert/progress_estimate.h"

namespace velmora::ui {

// The Status column's text of a finished file, from the engine's codes: the output's file name
// when converted (followed by what the user should know of it: a source that ended early, tags
// left out), "Cancelled", "Skipped", "Failed to create folder "<folder>"", "Failed to create
// destination file" or "Conversion Failure".
QString StatusText(const FileOutcome& outcome, const std::string& outputPath);

// The progress window's timing line: "0:42 elapsed · about 1:10 left · 38× real time".
QString TimingText(const ProgressEstimate& estimate);

}  // namespace velmora::ui
