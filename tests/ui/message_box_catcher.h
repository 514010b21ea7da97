#pragma once

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <vector>

namespace velmora::test {

// Watches for message boxes while it lives: records each one as it is shown, then answers it
// with OK from the box's own modal loop, so code that runs a box synchronously returns.
class MessageBoxCatcher : public QObject {
 public:
  struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
  };

  MessageBoxCatcher() { qApp->installEventFilter(this); }
  ~MessageBoxCatcher() override { qApp->removeEventFilter(this); }

  const std::vector<Box>& Boxes() const { return m_boxes; }
  void Clear() { m_boxes.clear(); }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    auto* box = qobject_cast<QMessageBox*>(object);
    if (box == nullptr) return false;
    m_boxes.push_back({box->windowTitle(), box->text(), box->icon()});
    QMetaObject::invokeMethod(box, [box] { box->done(QMessageBox::Ok); }, Qt::QueuedConnection);
    return false;
  }

 private:
  std::vector<Box> m_boxes;
};

}  // namespace velmora::test
