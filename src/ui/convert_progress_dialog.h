#pragma once

#include <QPoint>

#include "convert/output_paths.h"
#include "ui/progress_dialog.h"

class QLabel;
class QProgressBar;

namespace velmora::ui {

// Two lines and two bars while a batch converts: the upper pair for the file in work, the lower
// pair for the whole batch, and under them how long the batch has run and will still run. The
// user can move it by dragging any free spot.
class CConvertProgressDlg final : public CProgressDlg {
  Q_OBJECT

 public:
  explicit CConvertProgressDlg(QWidget* owner);

  // "Converting track.aiff...42%" with the file bar at 42 %.
  void SetFile(const QString& fileName, int percent);
  // "Converting 3 of 10 file(s) to MP3..." with the batch bar at 3 of 10.
  void SetOverall(int number, int count, OutputFormat format);
  // Before converting: "Measuring track.aiff...42%" with the file bar at 42 % (with no name,
  // "Measuring loudness before converting..." and an empty bar).
  void SetMeasuringFile(const QString& fileName, int percent);
  // "Measuring loudness: 3 of 10 file(s)..." with the batch bar at `fraction` of its length:
  // the share of the batch's sound measured so far.
  void SetMeasuring(int number, int count, double fraction);
  // "0:42 elapsed · about 1:10 left · 38× real time" under the batch bar.
  void SetTiming(const QString& text);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* m_fileLine = nullptr;
  QProgressBar* m_fileBar = nullptr;
  QLabel* m_overallLine = nullptr;
  QProgressBar* m_overallBar = nullptr;
  QLabel* m_timingLine = nullptr;
  // Where a drag that the window system did not take over started, and where the window stood.
  bool m_dragging = false;
  QPoint m_dragStart;
  QPoint m_windowStart;
};

}  // namespace velmora::ui
