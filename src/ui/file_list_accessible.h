#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace velmora::ui {

// Assistive tools see the file list as Qt presents a table, except that each column header can
// be pressed: pressing it sorts the list by that column, as a click on the header does.
QAccessibleInterface* FileListAccessibleFactory(const QString& className, QObject* object);

}  // namespace velmora::ui
