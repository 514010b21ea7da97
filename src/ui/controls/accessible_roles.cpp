#include "ui/controls/accessible_roles.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QSet>
#include <QString>

#include "ui/controls/skin_button.h"

namespace velmora::ui {
namespace {

QSet<QString>& WindowClasses() {
  static QSet<QString> classes;
  return classes;
}

// A link-look button: role Link, its text as its name, pressed by the press action.
class LinkButtonAccessible final : public QAccessibleWidget {
 public:
  explicit LinkButtonAccessible(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::Link) {}

  QString text(QAccessible::Text kind) const override {
    QString text = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && text.isEmpty()) return Button()->text();
    return text;
  }
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction()) Button()->click();
    else QAccessibleWidget::doAction(action);
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* RoleFactory(const QString& className, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (WindowClasses().contains(className) && widget->isWindow()) {
    return new QAccessibleWidget(widget, QAccessible::Window);
  }
  if (className == QLatin1String(CSkinButton::staticMetaObject.className())) {
    auto* button = static_cast<CSkinButton*>(widget);
    if (button->LinkLook()) return new LinkButtonAccessible(button);
  }
  return nullptr;
}

void InstallFactory() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(RoleFactory);
}

}  // namespace

void AnnounceAsWindow(const QMetaObject& type) {
  InstallFactory();
  WindowClasses().insert(QString::fromLatin1(type.className()));
}

void AnnounceLinkButtons() { InstallFactory(); }

}  // namespace velmora::ui
