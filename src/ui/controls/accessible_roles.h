#pragma once

#include <QMetaObject>

namespace velmora::ui {

// Top-level widgets of this class are windows to assistive tools (role Window) rather than
// panes: a plain QWidget window, frameless or not, is otherwise announced as a filler, and a
// screen reader does not take it for a window it can switch to. Call before the first such
// window is shown.
void AnnounceAsWindow(const QMetaObject& type);

// Skinned buttons drawn as links are links to assistive tools, pressed like buttons.
void AnnounceLinkButtons();

}  // namespace velmora::ui
