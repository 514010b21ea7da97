#pragma once

class QTableView;

namespace velmora::ui {

// Assistive tools see `view` as Qt presents a table, except that each column header can be
// pressed, as a click on it is (the file list then sorts by that column). Call it before the view
// is given a model, which would make and keep a plain table's interface for it.
void MakeHeadersPressable(QTableView& view);

}  // namespace velmora::ui
