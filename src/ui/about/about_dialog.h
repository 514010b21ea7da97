#pragma once

#include <QDialog>

#include "ui/controls/link_static.h"

namespace velmora::ui {

// The about box: the program's icon, version and build, the legal notice, links to the home
// page, the support mail and the encoder's site, and the update and tell-a-friend commands.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  // Routes the links and both buttons through `opener` instead of the desktop.
  void SetOpener(const UrlOpener& opener);

 private:
  CLinkStatic* AddLink(const QString& name, const QString& text, const QString& target);

  UrlOpener m_opener;
  CLinkStatic* m_homePageLink = nullptr;
  CLinkStatic* m_supportLink = nullptr;
  CLinkStatic* m_encoderLink = nullptr;
};

}  // namespace velmora::ui
