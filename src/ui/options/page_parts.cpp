#include "ui/options/page_parts.h"

#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace velmora::ui {
namespace {

constexpr int kGroupIconSize = 32;
constexpr int kFontPixels = 11;

// A label's text as a name: no mnemonic, no colon at its end.
QString NameOfLabel(const QString& text) {
  QString name = text;
  name.remove(u'&');
  if (name.endsWith(u':')) name.chop(1);
  return name.trimmed();
}

}  // namespace

QFont OptionsFont() {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(kFontPixels);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QVBoxLayout* PageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(14);
  return layout;
}

QGridLayout* AddGroup(QVBoxLayout* page, const QString& artwork, const QString& caption) {
  QWidget* owner = page->parentWidget();
  auto* row = new QHBoxLayout;
  row->setSpacing(12);
  auto* icon = new QLabel(owner);
  icon->setPixmap(QIcon(QStringLiteral(":/artwork/%1.svg").arg(artwork))
                      .pixmap(QSize(kGroupIconSize, kGroupIconSize), owner->devicePixelRatioF()));
  icon->setFixedSize(kGroupIconSize, kGroupIconSize);
  icon->setAlignment(Qt::AlignCenter);
  row->addWidget(icon, 0, Qt::AlignTop);

  auto* column = new QVBoxLayout;
  column->setSpacing(8);
  auto* heading = new QHBoxLayout;
  auto* title = new QLabel(caption, owner);
  QFont bold;
  bold.setBold(true);
  title->setFont(bold);
  heading->addWidget(title);
  auto* rule = new QFrame(owner);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  heading->addWidget(rule, 1);
  column->addLayout(heading);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  column->addLayout(grid);
  row->addLayout(column, 1);
  page->addLayout(row);
  return grid;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text, buddy->parentWidget());
  label->setBuddy(buddy);
  buddy->setAccessibleName(NameOfLabel(text));
  return label;
}

QHBoxLayout* ChoiceRow(QGridLayout* grid, int row, const QString& text) {
  QWidget* owner = grid->parentWidget();
  auto* group = new QWidget(owner);
  group->setAccessibleName(NameOfLabel(text));
  auto* layout = new QHBoxLayout(group);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(16);
  grid->addWidget(new QLabel(text, owner), row, 0);
  grid->addWidget(group, row, 1, 1, -1);
  return layout;
}

int SelectedData(const QComboBox* combo) {
  return combo->currentIndex() < 0 ? -1 : combo->currentData().toInt();
}

bool SelectData(QComboBox* combo, int value) {
  const int index = combo->findData(value);
  if (index < 0) return false;
  combo->setCurrentIndex(index);
  return true;
}

void ShowRefusal(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmora"), text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace velmora::ui
