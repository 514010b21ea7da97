#include "ui/file_list_accessible.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>
#include <map>
#include <mutex>

namespace velmora::ui {
namespace {

class FileListAccessible;

// A column header that forwards everything to Qt's own header cell and adds the press action.
class SortableHeader final : public QAccessibleInterface, public QAccessibleActionInterface {
  Q_DECLARE_TR_FUNCTIONS(velmora::ui::FileListAccessible)

 public:
  SortableHeader(FileListAccessible& table, int child) : m_table(table), m_child(child) {}

  bool isValid() const override { return Inner() != nullptr && Inner()->isValid(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return Inner() ? Inner()->window() : nullptr; }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text kind) const override { return Inner() ? Inner()->text(kind) : QString(); }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override { return Inner() ? Inner()->rect() : QRect(); }
  QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
  QAccessible::State state() const override { return Inner() ? Inner()->state() : QAccessible::State(); }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  QString localizedActionDescription(const QString& action) const override {
    return action == pressAction() ? tr("Sort the list by this column") : QString();
  }
  void doAction(const QString& action) override;
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QAccessibleInterface* Inner() const;

  FileListAccessible& m_table;
  int m_child;
};

// Qt's table interface for the list, with its column headers replaced by pressable ones.
class FileListAccessible final : public QAccessibleInterface, public QAccessibleTableInterface {
 public:
  FileListAccessible(QTableView* view, QAccessibleInterface* inner) : m_view(view), m_inner(inner) {}
  ~FileListAccessible() override {
    DropHeaders();
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_inner));
  }

  QTableView* View() const { return m_view; }
  QAccessibleInterface* Inner() const { return m_inner; }

  bool isValid() const override { return m_view && m_inner->isValid(); }
  QObject* object() const override { return m_view; }
  QWindow* window() const override { return m_inner->window(); }
  QVector<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    return m_inner->relations(match);
  }
  QAccessibleInterface* focusChild() const override { return Replace(m_inner->focusChild()); }
  QAccessibleInterface* parent() const override { return m_inner->parent(); }
  QAccessibleInterface* child(int index) const override { return Replace(m_inner->child(index)); }
  QAccessibleInterface* childAt(int x, int y) const override { return Replace(m_inner->childAt(x, y)); }
  int childCount() const override { return m_inner->childCount(); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (const auto& [index, header] : m_headers) {
      if (header == child) return index;
    }
    return m_inner->indexOfChild(child);
  }
  QString text(QAccessible::Text kind) const override { return m_inner->text(kind); }
  void setText(QAccessible::Text kind, const QString& text) override { m_inner->setText(kind, text); }
  QRect rect() const override { return m_inner->rect(); }
  QAccessible::Role role() const override { return m_inner->role(); }
  QAccessible::State state() const override { return m_inner->state(); }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return m_inner->interface_cast(type);
  }

  QAccessibleInterface* caption() const override { return Table()->caption(); }
  QAccessibleInterface* summary() const override { return Table()->summary(); }
  QAccessibleInterface* cellAt(int row, int column) const override { return Table()->cellAt(row, column); }
  int selectedCellCount() const override { return Table()->selectedCellCount(); }
  QList<QAccessibleInterface*> selectedCells() const override { return Table()->selectedCells(); }
  QString columnDescription(int column) const override { return Table()->columnDescription(column); }
  QString rowDescription(int row) const override { return Table()->rowDescription(row); }
  int selectedColumnCount() const override { return Table()->selectedColumnCount(); }
  int selectedRowCount() const override { return Table()->selectedRowCount(); }
  int columnCount() const override { return Table()->columnCount(); }
  int rowCount() const override { return Table()->rowCount(); }
  QList<int> selectedColumns() const override { return Table()->selectedColumns(); }
  // Assistive tools read Qt's ranges, which the selection keeps for them while they are active.
  QList<int> selectedRows() const override { return Table()->selectedRows(); }  // selection-reader-ok
  bool isColumnSelected(int column) const override { return Table()->isColumnSelected(column); }
  bool isRowSelected(int row) const override { return Table()->isRowSelected(row); }
  bool selectRow(int row) override { return Table()->selectRow(row); }
  bool selectColumn(int column) override { return Table()->selectColumn(column); }
  bool unselectRow(int row) override { return Table()->unselectRow(row); }
  bool unselectColumn(int column) override { return Table()->unselectColumn(column); }
  void modelChange(QAccessibleTableModelChangeEvent* event) override {
    DropHeaders();
    Table()->modelChange(event);
  }

 private:
  QAccessibleTableInterface* Table() const { return m_inner->tableInterface(); }

  // Qt's column header cells come back as the pressable ones, made once per child index.
  QAccessibleInterface* Replace(QAccessibleInterface* cell) const {
    if (!cell || cell->role() != QAccessible::ColumnHeader) return cell;
    const int index = m_inner->indexOfChild(cell);
    auto& header = m_headers[index];
    if (!header) {
      header = new SortableHeader(const_cast<FileListAccessible&>(*this), index);
      QAccessible::registerAccessibleInterface(header);
    }
    return header;
  }
  void DropHeaders() {
    for (const auto& [index, header] : m_headers) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(header));
    m_headers.clear();
  }

  QPointer<QTableView> m_view;
  QAccessibleInterface* m_inner;
  mutable std::map<int, SortableHeader*> m_headers;
};

QAccessibleInterface* SortableHeader::Inner() const { return m_table.Inner()->child(m_child); }
QAccessibleInterface* SortableHeader::parent() const { return &m_table; }

void SortableHeader::doAction(const QString& action) {
  QTableView* view = m_table.View();
  if (action != pressAction() || !view) return;
  const QAccessibleInterface* inner = Inner();
  if (!inner) return;
  // The section under the header's centre, whatever order the sections are shown in.
  QHeaderView* header = view->horizontalHeader();
  const int column = header->logicalIndexAt(header->mapFromGlobal(inner->rect().center()));
  if (column >= 0) emit header->sectionClicked(column);
}

// Marks the views whose headers are pressable; the factory answers for no other object.
constexpr char kPressableHeaders[] = "velmoraPressableHeaders";

QAccessibleInterface* PressableHeadersFactory(const QString& className, QObject* object) {
  auto* view = qobject_cast<QTableView*>(object);
  // Qt asks once per class the object derives from, most derived first; only that first
  // question is answered here.
  if (!view || !view->property(kPressableHeaders).toBool() ||
      className != QLatin1String(view->metaObject()->className())) {
    return nullptr;
  }
  // Qt's own table interface, made by asking again while this factory stands aside.
  static bool standingAside = false;
  if (standingAside) return nullptr;
  standingAside = true;
  QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(view);
  standingAside = false;
  if (!inner || !inner->tableInterface()) return nullptr;
  return new FileListAccessible(view, inner);
}

}  // namespace

void MakeHeadersPressable(QTableView& view) {
  static std::once_flag factoryInstalled;
  std::call_once(factoryInstalled, [] { QAccessible::installFactory(PressableHeadersFactory); });
  view.setProperty(kPressableHeaders, true);
}

}  // namespace velmora::ui
