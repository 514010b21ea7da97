#include "ui/status_text.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <cmath>

#include "convert/progress_estimate.h"
#include "platform/file_system.h"

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
// for the gapless information. The command line words the same codes in ReasonText.
QString WarningText(const FileOutcome& outcome) {
  switch (outcome.reason) {
    case FileReason::None: return {};
    case FileReason::SourceEndsEarly:
      return StatusWords::tr("source ends early: %1 of %2 frames")
          .arg(Count(outcome.framesRead), Count(outcome.framesExpected));
    case FileReason::GaplessFrameLeftOut: {
      // The engine names the frame as "<kbps> kbit/s at <hz> Hz".
      static const QRegularExpression frame(QStringLiteral("^(\\d+) kbit/s at (\\d+) Hz$"));
      const QString detail = QString::fromStdString(outcome.detail);
      const QRegularExpressionMatch match = frame.match(detail);
      const QString named =
          match.hasMatch() ? StatusWords::tr("%1 kbit/s at %2 Hz").arg(match.captured(1), match.captured(2)) : detail;
      return StatusWords::tr("not gapless: a frame of %1 has no room for the information frame").arg(named);
    }
    default: return QString::fromStdString(ReasonText(outcome));
  }
}

// The loudness a normalised file reached, or the ReplayGain written, with the user's decimal sign.
QString LoudnessWords(const LoudnessNote& note) {
  const QLocale locale;
  const QString value = locale.toString(note.value, 'f', note.kind == LoudnessNote::Kind::ReplayGain ? 2 : 1);
  switch (note.kind) {
    case LoudnessNote::Kind::None: return {};
    case LoudnessNote::Kind::Reached: return StatusWords::tr("%1 LUFS").arg(value);
    case LoudnessNote::Kind::HeldByCeiling: {
      const bool whole = std::abs(note.ceiling - std::round(note.ceiling)) < 1e-9;
      return StatusWords::tr("%1 LUFS, held by the %2 dBTP ceiling")
          .arg(value, locale.toString(note.ceiling, 'f', whole ? 0 : 1));
    }
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

}  // namespace

QStringList StatusNotes(const FileOutcome& outcome) {
  QStringList notes;
  if (const QString warning = WarningText(outcome); !warning.isEmpty()) notes << warning;
  if (outcome.result != FileResult::Converted) return notes;
  if (const QString loudness = LoudnessNoteWords(outcome.loudness); !loudness.isEmpty()) notes << loudness;
  for (const std::string& note : outcome.tagNotes) notes << QString::fromStdString(note);
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
