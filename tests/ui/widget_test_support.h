#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QTest>
#include <QString>
#include <functional>
#include <ostream>

// Texts print as texts in test failures, not as arrays of code units.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace velmora::test {

// The child of `root` with this object name; fails the test when there is none.
template <typename T>
T* Child(const QObject& root, const char* name) {
  T* child = root.findChild<T*>(QString::fromUtf8(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// Picks an item as a keyboard user does: opens the list, moves to the item and presses Enter.
inline void Choose(QComboBox* combo, const QString& text) {
  ASSERT_TRUE(combo->isEnabled()) << qPrintable(combo->objectName()) << " cannot be used now";
  const int index = combo->findText(text);
  ASSERT_GE(index, 0) << qPrintable(text);
  combo->showPopup();
  combo->view()->setCurrentIndex(combo->model()->index(index, 0));
  QTest::keyClick(combo->view(), Qt::Key_Return);
}

// Replaces the text of an edit or spin box as typed.
inline void Retype(QWidget* edit, const QString& text) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Runs `drive` on the next dialog of type T once it is shown, from inside that dialog's own
// modal loop, so code that runs a dialog synchronously can be tested as it stands.
template <typename T>
class WhenShown : public QObject {
 public:
  explicit WhenShown(std::function<void(T&)> drive) : m_drive(std::move(drive)) { qApp->installEventFilter(this); }
  ~WhenShown() override { qApp->removeEventFilter(this); }
  bool Ran() const { return m_ran; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* dialog = qobject_cast<T*>(object);
    if (dialog != nullptr && event->type() == QEvent::Show && !m_ran) {
      m_ran = true;
      QMetaObject::invokeMethod(dialog, [this, dialog] { m_drive(*dialog); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  std::function<void(T&)> m_drive;
  bool m_ran = false;
};

}  // namespace velmora::test
