#pragma once

#include <QColor>
#include <QLabel>

#include "ui/controls/url_opener.h"

namespace velmora::ui {

// A text that behaves as a hyperlink: it opens its target on a click (or Space/Enter when it has
// the focus), shows the target as its tooltip, turns to the hover colour under the mouse and to
// the visited colour once a click succeeded. A failed open beeps, explains itself in a message
// box and leaves the link unvisited. Assistive technology sees a link it can press.
class CLinkStatic : public QLabel {
  Q_OBJECT

 public:
  enum class Underline { Never = 0, Always = 1, WhileHovering = -1 };

  static constexpr QColor kLinkColour{0, 0, 238};
  static constexpr QColor kVisitedColour{85, 26, 139};
  static constexpr QColor kHoverColour{255, 0, 0};

  // An empty `text` shows the target; an empty target takes the text.
  explicit CLinkStatic(const QString& text = {}, QWidget* parent = nullptr);

  void SetTarget(const QString& target);
  QString Target() const { return m_target; }
  void SetUnderline(Underline mode);
  // Replaces the desktop opener, for tests and for callers that route targets elsewhere.
  void SetOpener(UrlOpener opener) { m_opener = std::move(opener); }

  bool IsHovering() const { return m_hovering; }
  bool IsVisited() const { return m_visited; }
  // The colour the text is drawn in now.
  QColor TextColour() const;

  // Opens the target as a click does; the outcome shows once the opener has answered.
  void Open();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Opened(const QString& failure);
  void SetHovering(bool hovering);
  void UpdateLook();

  QString m_target;
  Underline m_underline = Underline::WhileHovering;
  bool m_hovering = false;
  bool m_visited = false;
  UrlOpener m_opener;
};

}  // namespace velmora::ui
