#include "convert/mp3_loudness.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "convert/file_conversion.h"
#include "convert/mp3_decoding.h"
#include "platform/output_file.h"

namespace velmora {
namespace {

// Encodings of one normalised file at most: the decoded peak of the first tells how far the
// second must come down, and a third is there for the rare stream whose peak moves again.
constexpr int kMaxEncodings = 3;
// How far under the ceiling a new encoding aims, in dB, so that it lands below it.
constexpr double kCeilingMargin = 0.1;

}  // namespace

bool MeasureMp3Output(AiffReader& reader, const std::string& sourcePath, const ConversionOptions& options,
                      LoudnessMeter& meter, const FileContext& context) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return false;
  ConversionOptions soundOnly = options;
  soundOnly.tags.id3 = false;
  soundOnly.tags.copySourceTags = false;
  OutputFile scratch;
  if (!scratch.CreateTemporary((folder / "velmora-measure.mp3").string())) return false;
  FileContext encoding = context;
  encoding.loudness = nullptr;  // measured as it sounds before any loudness gain
  const FileOutcome outcome = EncodeMp3File(reader, sourcePath, scratch, soundOnly, encoding);
  const bool measured =
      outcome.result == FileResult::Converted && MeasureMp3File(scratch.TemporaryPath(), meter, context.cancel);
  scratch.Discard();
  return measured;
}

FileOutcome ConvertFileToMp3(AiffReader& reader, const std::string& sourcePath, OutputFile& output,
                             const ConversionOptions& options, const FileContext& context) {
  const LoudnessPlan* plan = context.loudness;
  if (!plan || !plan->Normalises()) return EncodeMp3File(reader, sourcePath, output, options, context);
  LoudnessPlan adjusted = *plan;
  FileContext attempt = context;
  attempt.loudness = &adjusted;
  for (int encoding = 1;; ++encoding) {
    FileOutcome outcome = EncodeMp3File(reader, sourcePath, output, options, attempt);
    if (outcome.result != FileResult::Converted) return outcome;
    LoudnessMeter meter;
    if (!MeasureMp3File(output.TemporaryPath(), meter, context.cancel)) return outcome;
    const Loudness decoded = meter.Result();
    const double over = decoded.TruePeakDb() - plan->note.ceiling;
    // A new encoding needs the source from its start; a source read from memory has no path.
    const bool again = over > 0 && encoding < kMaxEncodings && reader.Open(sourcePath);
    if (!again) {
      outcome.loudness = plan->note;
      if (decoded.integrated) outcome.loudness.value = *decoded.integrated;
      if (encoding > 1) outcome.loudness.kind = LoudnessNote::Kind::HeldByCeiling;
      return outcome;
    }
    *adjusted.gain *= static_cast<float>(std::pow(10.0, -(over + kCeilingMargin) / 20.0));
    if (!output.Reopen()) return FileOutcome::Failure(FileReason::WriteFailed, {}, output.Error());
  }
}

}  // namespace velmora
