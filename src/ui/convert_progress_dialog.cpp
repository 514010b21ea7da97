#include "ui/convert_progress_dialog.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QWindow>
#include <algorithm>

#include "ui/about/help_window.h"

namespace velmora::ui {
namespace {

constexpr int kPercentMax = 100;
// The batch bar while measuring moves by the sound measured, in steps too fine to see.
constexpr int kBarSteps = 1000;

}  // namespace

CConvertProgressDlg::CConvertProgressDlg(QWidget* owner) : CProgressDlg(owner) {
  setObjectName(QStringLiteral("convertProgressDialog"));
  setAccessibleName(tr("Converting files"));
  AddHelpKey(this, [] { return QStringLiteral("converting.html"); });
  m_fileLine = AddLine(QStringLiteral("fileLine"));
  m_fileBar = AddBar(QStringLiteral("fileBar"), tr("Progress of this file"));
  m_overallLine = AddLine(QStringLiteral("overallLine"));
  m_overallBar = AddBar(QStringLiteral("overallBar"), tr("Progress of all files"));
  m_timingLine = AddLine(QStringLiteral("timingLine"));
}

void CConvertProgressDlg::SetFile(const QString& fileName, int percent) {
  percent = std::clamp(percent, 0, kPercentMax);
  // The name goes in last, so that a "%" in it is not taken for a place marker.
  m_fileLine->setText(WithElidedName(tr("Converting %2...%1%").arg(percent), fileName));
  SetBar(*m_fileBar, percent, kPercentMax);
}

void CConvertProgressDlg::SetOverall(int number, int count, OutputFormat format) {
  // A sentence per format, as languages place the format's name differently.
  QString text;
  switch (format) {
    case OutputFormat::Mp3: text = tr("Converting %1 of %n file(s) to MP3...", nullptr, count); break;
    case OutputFormat::Wav: text = tr("Converting %1 of %n file(s) to WAV...", nullptr, count); break;
    case OutputFormat::Flac: text = tr("Converting %1 of %n file(s) to FLAC...", nullptr, count); break;
    case OutputFormat::Opus: text = tr("Converting %1 of %n file(s) to Opus...", nullptr, count); break;
  }
  m_overallLine->setText(text.arg(number));
  SetBar(*m_overallBar, number, count);
}

void CConvertProgressDlg::SetMeasuringFile(const QString& fileName, int percent) {
  percent = std::clamp(percent, 0, kPercentMax);
  m_fileLine->setText(fileName.isEmpty() ? tr("Measuring loudness before converting...")
                                         : WithElidedName(tr("Measuring %2...%1%").arg(percent), fileName));
  SetBar(*m_fileBar, fileName.isEmpty() ? 0 : percent, kPercentMax);
}

void CConvertProgressDlg::SetMeasuring(int number, int count, double fraction) {
  m_overallLine->setText(tr("Measuring loudness: %1 of %2 file(s)...").arg(number).arg(count));
  SetBar(*m_overallBar, static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kBarSteps), kBarSteps);
}

void CConvertProgressDlg::SetTiming(const QString& text) { m_timingLine->setText(text); }

// The lines and bars let presses through, so a press on any of them drags the dialog too.
void CConvertProgressDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    CProgressDlg::mousePressEvent(event);
    return;
  }
  event->accept();
  QWindow* window = windowHandle();
  if (window && window->startSystemMove()) return;
  // Platforms without window-system moves (offscreen, some Wayland compositors) move it here.
  m_dragging = true;
  m_dragStart = event->globalPosition().toPoint();
  m_windowStart = pos();
}

void CConvertProgressDlg::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging) {
    CProgressDlg::mouseMoveEvent(event);
    return;
  }
  event->accept();
  move(m_windowStart + event->globalPosition().toPoint() - m_dragStart);
}

void CConvertProgressDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_dragging = false;
  CProgressDlg::mouseReleaseEvent(event);
}

}  // namespace velmora::ui
