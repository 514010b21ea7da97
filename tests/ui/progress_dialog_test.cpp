#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include "ui/add_files_progress_dialog.h"
#include "ui/convert_progress_dialog.h"

namespace velmora::ui {
namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

void DeleteLater() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class ProgressDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    m_owner.resize(600, 400);
    m_owner.show();
  }
  QWidget m_owner;
};

// Keys and clicks that reach the dialog while an operation runs: only Cancel counts, once, and
// nothing but the operation closes the window.
TEST_F(ProgressDialogTest, CancelOnlyRecordsTheRequestAndTheOperationCloses) {
  QPointer<CConvertProgressDlg> dialog = new CConvertProgressDlg(&m_owner);
  dialog->show();
  QSignalSpy requests(dialog.data(), &CProgressDlg::cancelRequested);
  auto* cancel = Child<QPushButton>(*dialog, "cancelButton");
  cancel->setFocus();

  for (QWidget* target : {static_cast<QWidget*>(dialog.data()), static_cast<QWidget*>(cancel)}) {
    QTest::keyClick(target, Qt::Key_Escape);
    QTest::keyClick(target, Qt::Key_Return);
    QTest::keyClick(target, Qt::Key_Enter);
  }
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->Cancelled());

  QTest::mouseClick(cancel, Qt::LeftButton);
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_TRUE(dialog->Cancelled());
  EXPECT_EQ(requests.count(), 1);
  EXPECT_TRUE(dialog->isVisible());

  dialog->Finish();
  DeleteLater();
  EXPECT_TRUE(dialog.isNull());
}

// Alt+F4 or the task bar's close must not pull the window away from the operation writing to
// it; it asks the operation to stop instead.
TEST_F(ProgressDialogTest, CloseRequestFromTheDesktopCountsAsCancel) {
  QPointer<CAddFilesProgressDlg> dialog = new CAddFilesProgressDlg(&m_owner);
  dialog->show();
  EXPECT_FALSE(dialog->Cancelled());
  EXPECT_FALSE(dialog->windowHandle()->close());
  DeleteLater();
  ASSERT_FALSE(dialog.isNull());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->Cancelled());

  dialog->ShowAdding(4, 9);
  EXPECT_EQ(Child<QLabel>(*dialog, "addFilesLine")->text(), QStringLiteral("Adding AIFF file 4 of 9..."));
  dialog->Finish();
  DeleteLater();
  EXPECT_TRUE(dialog.isNull());
}

TEST_F(ProgressDialogTest, LinesAndBarsShowWhatTheOperationReports) {
  CConvertProgressDlg dialog(&m_owner);
  dialog.setAttribute(Qt::WA_DeleteOnClose, false);
  auto* fileLine = Child<QLabel>(dialog, "fileLine");
  auto* fileBar = Child<QProgressBar>(dialog, "fileBar");
  auto* overallLine = Child<QLabel>(dialog, "overallLine");
  auto* overallBar = Child<QProgressBar>(dialog, "overallBar");
  auto* timingLine = Child<QLabel>(dialog, "timingLine");

  // A name that looks like a place marker stays as it is.
  dialog.SetFile(QStringLiteral("100%1 live.aiff"), 42);
  EXPECT_EQ(fileLine->text(), QStringLiteral("Converting 100%1 live.aiff...42%"));
  EXPECT_EQ(fileBar->value() * 100 / fileBar->maximum(), 42);
  dialog.SetFile(QStringLiteral("a.aif"), 250);
  EXPECT_EQ(fileLine->text(), QStringLiteral("Converting a.aif...100%"));
  EXPECT_EQ(fileBar->value(), fileBar->maximum());

  dialog.SetOverall(3, 12, OutputFormat::Wav);
  EXPECT_EQ(overallLine->text(), QStringLiteral("Converting 3 of 12 file(s) to WAV..."));
  EXPECT_EQ(overallBar->value(), 3);
  EXPECT_EQ(overallBar->maximum(), 12);
  dialog.SetOverall(1, 1, OutputFormat::Mp3);
  EXPECT_EQ(overallLine->text(), QStringLiteral("Converting 1 of 1 file(s) to MP3..."));

  // A long name is shortened in its middle; the percentage stays readable.
  dialog.SetFile(QString(300, u'x') + QStringLiteral(".aiff"), 7);
  EXPECT_TRUE(fileLine->text().endsWith(QStringLiteral(".aiff...7%")));
  EXPECT_TRUE(fileLine->text().contains(QChar(0x2026)));
  EXPECT_LE(QFontMetrics(fileLine->font()).horizontalAdvance(fileLine->text()), fileLine->width());

  // The longest timing line, with hours on both clocks, fits whole at any scale.
  const QString timing = QStringLiteral("12:34:56 elapsed \u00b7 about 123:45:06 left \u00b7 1.5\u00d7 real time");
  dialog.SetTiming(timing);
  EXPECT_EQ(timingLine->text(), timing);
  EXPECT_LE(QFontMetrics(timingLine->font()).horizontalAdvance(timing), timingLine->width());
  EXPECT_GE(timingLine->height(), QFontMetrics(timingLine->font()).height());
}

// Drags by a free spot (a line of text) where the window system does not move windows itself.
QPoint DragBy(QWidget& dialog, QPoint delta) {
  dialog.show();
  const QPoint start = dialog.pos();
  QWidget* spot = dialog.findChildren<QLabel*>().constFirst();
  const QPoint from(5, 5);
  QTest::mousePress(spot, Qt::LeftButton, {}, from);
  QTest::mouseMove(spot, from + delta);
  QTest::mouseRelease(spot, Qt::LeftButton, {}, from + delta);
  return dialog.pos() - start;
}

TEST_F(ProgressDialogTest, OnlyTheConversionDialogCanBeDragged) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) GTEST_SKIP() << "needs the widget's own move";
  CConvertProgressDlg converting(&m_owner);
  converting.setAttribute(Qt::WA_DeleteOnClose, false);
  EXPECT_EQ(DragBy(converting, {50, 30}), QPoint(50, 30));

  CAddFilesProgressDlg adding(&m_owner);
  adding.setAttribute(Qt::WA_DeleteOnClose, false);
  EXPECT_EQ(DragBy(adding, {50, 30}), QPoint(0, 0));
}

}  // namespace
}  // namespace velmora::ui
