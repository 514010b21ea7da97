#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "convert/file_outcome.h"
#include "convert/progress_estimate.h"

namespace velmora::ui {

// The Status column's text of a finished file, from the engine's codes: the output's file name
// when converted (followed by what the user should know of it: a source that ended early, tags
// left out), "Cancelled", "Skipped", "Failed to create folder "<folder>"", "Failed to create
// destination file" or "Conversion Failure".
QString StatusText(const FileOutcome& outcome, const std::string& outputPath);
// What the user should know of a file beside its Status, a note a line: of a converted file
// what StatusText puts in brackets, of another why it failed or was skipped.
QStringList StatusNotes(const FileOutcome& outcome);
// The whole outcome, for the row's Details box and screen readers: the source, the output (or
// the result), and each note on a line of its own.
QString DetailsText(const FileOutcome& outcome, const std::string& sourcePath, const std::string& outputPath);

// The progress window's timing line: "0:42 elapsed · about 1:10 left · 38× real time".
QString TimingText(const ProgressEstimate& estimate);

}  // namespace velmora::ui
