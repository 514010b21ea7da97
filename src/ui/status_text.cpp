#include "ui/status_text.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <climits>

#include "convert/companion_files.h"
#include "convert/loudness_plan.h"
#include "filelist/add_candidates.h"
#include "convert/progress_estimate.h"
#include "platform/file_system.h"
#include "platform/system_calls.h"

namespace velmora::ui {
namespace {

class StatusWords {
  Q_DECLARE_TR_FUNCTIONS(velmora::ui::StatusText)
};

// A count with the user's digit grouping ("132,300", "132.300"); group separators are shown
// even where the locale would leave them out.
QString Count(std::uint64_t number) {
  QLocale locale;
  locale.setNumberOptions(QLocale::DefaultNumberOptions);
  return locale.toString(static_cast<qulonglong>(number));
}

// What the user should know of a converted file: a source that ended early, a frame too small
// for the gapless information. The command line words the same codes in its ReasonText.
QString WarningText(const FileOutcome& outcome) {
  const QLocale locale;
  switch (outcome.reason) {
    case FileReason::SourceEndsEarly:
      return StatusWords::tr("source ends early: %1 of %2 frames")
          .arg(Count(outcome.framesRead), Count(outcome.framesExpected));
    case FileReason::GaplessFrameLeftOut:
      return StatusWords::tr("not gapless: a frame of %1 has no room for the information frame")
          .arg(StatusWords::tr("%1 kbit/s at %2 Hz")
                   .arg(locale.toString(outcome.mp3.kbps), locale.toString(outcome.mp3.hz)));
    default: return {};  // a converted file carries no other reason
  }
}

// `text`, followed by the system's reason where there is one.
QString WithSystemError(const QString& text, int error) {
  return error ? StatusWords::tr("%1: %2").arg(text, QString::fromStdString(SystemErrorText(error))) : text;
}

// Why a file failed or was skipped, for its Details: the Status column says only that it did.
QString ReasonWords(const FileOutcome& outcome) {
  const QLocale locale;
  const auto hz = [&locale](int rate) { return StatusWords::tr("%1 Hz").arg(locale.toString(rate)); };
  switch (outcome.reason) {
    case FileReason::None:
    case FileReason::SourceEndsEarly:
    case FileReason::GaplessFrameLeftOut: return {};
    case FileReason::SourceUnreadable:
      return StatusWords::tr("source: %1")
          .arg(QString::fromStdString(LoadFailureReason(outcome.sourceError, outcome.detail)));
    case FileReason::InvalidSampleRate: return StatusWords::tr("invalid sample rate %1").arg(hz(outcome.rate));
    case FileReason::CannotResample:
      return StatusWords::tr("cannot convert %1 to %2").arg(hz(outcome.rate), hz(outcome.toRate));
    case FileReason::EncoderUnavailable: return StatusWords::tr("cannot start the MP3 encoder");
    case FileReason::EncoderRejects: return StatusWords::tr("the MP3 encoder does not take these settings");
    case FileReason::WriteFailed:
      return WithSystemError(StatusWords::tr("cannot write the output"), outcome.systemError);
    case FileReason::WavTooLarge: return StatusWords::tr("the output would pass the 4 GiB limit of WAV files");
    case FileReason::WavRateTooHigh:
      return StatusWords::tr("sample rate %1 is too high for a WAV file").arg(hz(outcome.rate));
    case FileReason::FolderFailed:
    case FileReason::NoOutputPlace:  // the Status column names what failed; here is why
      return outcome.systemError ? QString::fromStdString(SystemErrorText(outcome.systemError)) : QString();
    case FileReason::OutputExists:
      return StatusWords::tr("%1 exists").arg(QString::fromStdString(outcome.detail));
    case FileReason::OutOfMemory: return StatusWords::tr("out of memory");
    case FileReason::VerificationFailed: return StatusWords::tr("verification failed");
    case FileReason::OpusEncoderFailed: return StatusWords::tr("the Opus encoder failed");
    case FileReason::NoSoundForOpus:
      return StatusWords::tr("the source holds no sound at 48 kHz, and an Opus file cannot be empty");
  }
  return {};
}

// "2 KiB", "17 MiB": rounded up, so a size over a limit reads so.
QString SizeWords(std::uint64_t bytes) {
  constexpr std::uint64_t kKiB = 1024, kMiB = kKiB * 1024;
  if (bytes >= kMiB) return StatusWords::tr("%1 MiB").arg(Count((bytes + kMiB - 1) / kMiB));
  return StatusWords::tr("%1 KiB").arg(Count((bytes + kKiB - 1) / kKiB));
}

// "16,777,300 bytes": exact, so a size just past a limit does not read as the limit itself.
QString BytesWords(std::uint64_t bytes) {
  return bytes == 1 ? StatusWords::tr("1 byte") : StatusWords::tr("%1 bytes").arg(Count(bytes));
}

// What of the tags was left out, one sentence for one thing and one for many (whose sizes are
// of all of them together). The command line words the same notes in its TagNoteText.
QString TagNoteWords(const TagNote& note) {
  using Kind = TagNote::Kind;
  const bool one = note.count == 1;
  const int n = static_cast<int>(std::min<std::uint64_t>(note.count, INT_MAX));
  const QString id = QString::fromLatin1(note.id).trimmed();
  const QString bytes = BytesWords(note.bytes);
  const QString limit = SizeWords(note.limit);
  switch (note.kind) {
    case Kind::TextChunkOverLimit:
      return (one ? StatusWords::tr("%1 chunk of %2 left out (over the %3 limit for texts)")
                  : StatusWords::tr("%Ln %1 chunks of %2 in all left out (over the %3 limit for texts)", nullptr, n))
          .arg(id, bytes, limit);
    case Kind::TextFrameOverLimit:
      return (one ? StatusWords::tr("ID3 %1 frame of %2 left out (over the %3 limit for texts)")
                  : StatusWords::tr("%Ln ID3 %1 frames of %2 in all left out (over the %3 limit for texts)", nullptr,
                                    n))
          .arg(id, bytes, limit);
    case Kind::PictureOverLimit:
      return (one ? StatusWords::tr("picture of %1 left out (over the %2 limit for pictures)")
                  : StatusWords::tr("%Ln pictures of %1 in all left out (over the %2 limit for pictures)", nullptr, n))
          .arg(bytes, limit);
    case Kind::InflatingOverLimit:
      return (one ? StatusWords::tr("compressed ID3 frame of %1 left out (over the %2 limit for inflating)")
                  : StatusWords::tr("%Ln compressed ID3 frames of %1 in all left out (over the %2 limit for inflating)",
                                    nullptr, n))
          .arg(bytes, limit);
    case Kind::TooManyPictures:
      return (one ? StatusWords::tr("picture left out (at most %1 are kept)")
                  : StatusWords::tr("%Ln pictures left out (at most %1 are kept)", nullptr, n))
          .arg(Count(note.limit));
    case Kind::TooManyChunks:
      return (one ? StatusWords::tr("metadata chunk left out (at most %1 are read)")
                  : StatusWords::tr("%Ln metadata chunks left out (at most %1 are read)", nullptr, n))
          .arg(Count(note.limit));
    case Kind::PictureNotCarried:
      return one ? StatusWords::tr("picture left out (not JPEG, PNG or GIF)")
                 : StatusWords::tr("%Ln pictures left out (not JPEG, PNG or GIF)", nullptr, n);
    case Kind::DamagedText:
      return (one ? StatusWords::tr("ID3 %1 frame left out (damaged text)")
                  : StatusWords::tr("%Ln ID3 %1 frames left out (damaged text)", nullptr, n))
          .arg(id);
    case Kind::Id3ChunkTooLarge:
      return (one ? StatusWords::tr("tags not copied: ID3 chunk of %1 is over the limit")
                  : StatusWords::tr("tags not copied: %Ln ID3 chunks of %1 in all are over the limit", nullptr, n))
          .arg(SizeWords(note.bytes));
    case Kind::ChunkTooLarge:
      return (one ? StatusWords::tr("%1 chunk of %2 is over the limit")
                  : StatusWords::tr("%Ln %1 chunks of %2 in all are over the limit", nullptr, n))
          .arg(id, SizeWords(note.bytes));
    case Kind::OutputTagTooLarge:
      return StatusWords::tr("tags not copied: an ID3 tag of %1 is over its limit").arg(SizeWords(note.bytes));
    case Kind::PictureOverBlock:
      return (one ? StatusWords::tr("picture of %1 left out (over the %2 limit of a FLAC block)")
                  : StatusWords::tr("%Ln pictures of %1 in all left out (over the %2 limit of a FLAC block)", nullptr,
                                    n))
          .arg(bytes, limit);
    case Kind::ChunksNotKept:
      if (one) {
        return StatusWords::tr("%1 chunk of %2 not kept (over the %3 limit of a FLAC block): the AIFF restored from "
                               "it will differ")
            .arg(id, bytes, limit);
      }
      return StatusWords::tr("%Ln chunks of %1 in all not kept (over the %2 limit of a FLAC block): the AIFF restored "
                             "from it will differ",
                             nullptr, n)
          .arg(bytes, limit);
    case Kind::FloatAsInteger:
      return StatusWords::tr("float samples stored as %1-bit integers").arg(Count(note.limit));
    case Kind::MarkerDropped:
      return StatusWords::tr("%Ln marker(s) left out (past the last frame, %1, or with a repeated or bad id)", nullptr,
                             n)
          .arg(Count(note.limit));
    case Kind::LoopBadPlayMode: return StatusWords::tr("%Ln loop(s) left out (play mode not 0, 1 or 2)", nullptr, n);
    case Kind::LoopMarkerMissing:
      return StatusWords::tr("%Ln loop(s) left out (a marker it names is missing)", nullptr, n);
    case Kind::LoopEndBeforeBegin:
      return StatusWords::tr("%Ln loop(s) left out (it ends before it begins)", nullptr, n);
    case Kind::SamplerChunkShort: return StatusWords::tr("%1 chunk cut short: the rest left out").arg(id);
  }
  return {};
}

// The loudness a normalised file reached, or the ReplayGain written, with the user's decimal sign.
QString LoudnessWords(const LoudnessNote& note) {
  const QLocale locale;
  const QString value = locale.toString(note.value, 'f', note.kind == LoudnessNote::Kind::ReplayGain ? 2 : 1);
  switch (note.kind) {
    case LoudnessNote::Kind::None: return {};
    case LoudnessNote::Kind::Reached: return StatusWords::tr("%1 LUFS").arg(value);
    case LoudnessNote::Kind::HeldByCeiling:
      return StatusWords::tr("%1 LUFS, held by the %2 dBTP ceiling")
          .arg(value, locale.toString(note.ceiling, 'f', CeilingDecimals(note.ceiling)));
    case LoudnessNote::Kind::ReplayGain: return StatusWords::tr("ReplayGain %1 dB").arg(value);
    case LoudnessNote::Kind::TooQuietForReplayGain: return StatusWords::tr("too quiet to measure: no ReplayGain");
    case LoudnessNote::Kind::TooQuietToNormalise: return StatusWords::tr("too quiet to measure: left as it is");
    case LoudnessNote::Kind::NotMeasuredAtRate:
      return StatusWords::tr("loudness not measured at %1 Hz").arg(locale.toString(note.value, 'f', 0));
  }
  return {};
}

// The loudness words, and how many samples were measured as silence for not being numbers.
QString LoudnessNoteWords(const LoudnessNote& note) {
  QString text = LoudnessWords(note);
  if (note.nonFinite > 0 && !text.isEmpty()) {
    text += StatusWords::tr(", %Ln sample(s) not finite, measured as silence", nullptr,
                            static_cast<int>(std::min<std::uint64_t>(note.nonFinite, INT_MAX)));
  }
  return text;
}

// What became of the companions copied beside a file, a note a kind.
QStringList CompanionWords(const CompanionNote& note) {
  QStringList words;
  if (note.copied) words << StatusWords::tr("%Ln companion file(s) copied", nullptr, note.copied);
  if (note.present) {
    words << StatusWords::tr("%Ln companion file(s) already in the output folder, left alone", nullptr, note.present);
  }
  if (note.tooLarge) {
    words << StatusWords::tr("%Ln companion file(s) over the %1 limit, not copied", nullptr, note.tooLarge)
                 .arg(SizeWords(kMaxCompanionBytes));
  }
  const QString name = QString::fromStdString(note.firstFailed);
  if (note.failed == 1) {
    words << WithSystemError(StatusWords::tr("companion file %1 not copied").arg(name), note.error);
  } else if (note.failed > 1) {
    words << WithSystemError(
        StatusWords::tr("%Ln companion file(s) not copied, the first %1", nullptr, note.failed).arg(name), note.error);
  }
  return words;
}

}  // namespace

QStringList StatusNotes(const FileOutcome& outcome) {
  QStringList notes;
  if (outcome.result != FileResult::Converted) {
    if (const QString reason = ReasonWords(outcome); !reason.isEmpty()) notes << reason;
    return notes;
  }
  if (const QString warning = WarningText(outcome); !warning.isEmpty()) notes << warning;
  if (const QString loudness = LoudnessNoteWords(outcome.loudness); !loudness.isEmpty()) notes << loudness;
  for (const TagNote& note : outcome.tagNotes) notes << TagNoteWords(note);
  notes << CompanionWords(outcome.companions);
  return notes;
}

QString StatusText(const FileOutcome& outcome, const std::string& outputPath) {
  switch (outcome.result) {
    case FileResult::Converted: {
      QString text = QString::fromStdString(FileNamePart(outputPath));
      for (const QString& note : StatusNotes(outcome)) text += QStringLiteral(" (%1)").arg(note);
      return text;
    }
    case FileResult::Cancelled: return StatusWords::tr("Cancelled");
    case FileResult::Skipped: return StatusWords::tr("Skipped");
    case FileResult::Failed: break;
  }
  switch (outcome.reason) {
    case FileReason::FolderFailed:
      return StatusWords::tr("Failed to create folder \"%1\"").arg(QString::fromStdString(outcome.detail));
    case FileReason::NoOutputPlace: return StatusWords::tr("Failed to create destination file");
    default: return StatusWords::tr("Conversion Failure");
  }
}

QString DetailsText(const FileOutcome& outcome, const std::string& sourcePath, const std::string& outputPath) {
  QStringList lines{StatusWords::tr("Source: %1").arg(QString::fromStdString(sourcePath))};
  if (outcome.result == FileResult::Converted) {
    lines << StatusWords::tr("Output: %1").arg(QString::fromStdString(outputPath));
  } else {
    lines << StatusText(outcome, outputPath);
  }
  for (const QString& note : StatusNotes(outcome)) lines << QStringLiteral("\u2022 ") + note;
  return lines.join(u'\n');
}

QString TimingText(const ProgressEstimate& estimate) {
  const QLocale locale;
  const auto clock = [](double seconds) { return QString::fromStdString(ClockText(seconds)); };
  const std::optional<double> remaining = estimate.Remaining();
  const std::optional<double> speed = estimate.Speed();
  // Below ten times real time a decimal still tells something.
  const QString figure = speed ? locale.toString(*speed, 'f', *speed < 10 ? 1 : 0) : QStringLiteral("\u2014");
  return StatusWords::tr("%1 elapsed · %2 · %3× real time")
      .arg(clock(estimate.Elapsed()),
           remaining ? StatusWords::tr("about %1 left").arg(clock(*remaining)) : StatusWords::tr("— left"), figure);
}

}  // namespace velmora::ui
