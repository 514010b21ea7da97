#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace velmora::ui {

// One page of the options sheet. A page holds its values from the transfer in; its controls are
// loaded from them only when it is first shown, so a page the user never opened hands its values
// back untouched.
class COptPage : public QWidget {
  Q_OBJECT

 public:
  // Why the page cannot be left, and the control the user should correct.
  struct Refusal {
    QString message;
    QWidget* focus = nullptr;
  };

  using QWidget::QWidget;

  // Loads the controls from the values, once.
  void Activate();
  bool IsInitialised() const { return m_initialised; }

  // Reads the controls into the values; refuses when the page cannot be left as it stands.
  virtual std::optional<Refusal> KillActive() = 0;
  // Takes the final values for the transfer out, for a shown page when the sheet closes with OK.
  virtual void Apply() {}

 protected:
  virtual void Initialise() = 0;

 private:
  bool m_initialised = false;
};

}  // namespace velmora::ui
