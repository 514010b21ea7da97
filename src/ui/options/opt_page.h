#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace velmora::ui {

// One page of the options sheet. A page holds its values from the transfer in. Its controls are
// loaded from them as the sheet is shown, every page at once, so that assistive tools read the
// real values on tabs never opened; but only a page the user has opened hands back what its
// controls hold, and a page never opened hands its values back untouched.
class COptPage : public QWidget {
  Q_OBJECT

 public:
  // Why the page cannot be left, and the control the user should correct.
  struct Refusal {
    QString message;
    QWidget* focus = nullptr;
  };

  using QWidget::QWidget;

  // Loads the controls from the values, once; changes no value.
  void Load();
  // The page is shown: its controls now stand for its values.
  void Activate();
  bool WasShown() const { return m_shown; }

  // Reads the controls into the values; refuses when the page cannot be left as it stands.
  virtual std::optional<Refusal> KillActive() = 0;
  // Takes the final values for the transfer out, for a shown page when the sheet closes with OK.
  virtual void Apply() {}

 protected:
  virtual void Initialise() = 0;

 private:
  bool m_loaded = false;
  bool m_shown = false;
};

}  // namespace velmora::ui
