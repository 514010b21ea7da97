#include "ui/about/about_dialog.h"

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/about/help_window.h"
#include "ui/about/web_commands.h"
#include "ui/web_addresses.h"

namespace velmora::ui {
namespace {

constexpr int kIconSize = 64;
const QString kIconPath = QStringLiteral(":/artwork/velmora.svg");

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_opener(DesktopOpener()) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(tr("About Velmora"));
  setWindowModality(Qt::WindowModal);
  AddHelpKey(this, [] { return QStringLiteral("index.html"); });

  auto* text = new QVBoxLayout;
  text->setSpacing(4);
  auto* version = new QLabel(tr("Velmora v%1 build %2")
                                 .arg(QString::fromUtf8(kVersion), QString::fromUtf8(kBuild)), this);
  version->setObjectName(QStringLiteral("aboutVersion"));
  QFont heading = version->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.2);
  version->setFont(heading);
  text->addWidget(version);
  auto* notice = new QLabel(tr("Copyright © Tandrel. All rights reserved.\n"
                                           "Velmora is provided as is, without warranty of any kind."),
                            this);
  notice->setObjectName(QStringLiteral("aboutNotice"));
  text->addWidget(notice);
  text->addSpacing(8);

  m_homePageLink = AddLink(QStringLiteral("homePageLink"), tr("Visit Velmora Homepage"),
                           WebCommandTarget(WebCommand::HomePage).toString());
  m_supportLink = AddLink(QStringLiteral("supportLink"), tr("Feedback and Support"),
                          WebCommandTarget(WebCommand::SupportMail).toString());
  m_encoderLink = AddLink(QStringLiteral("encoderLink"), tr("The program uses LAME MP3 encoder"),
                          QString::fromUtf8(kEncoderSiteUrl));
  for (CLinkStatic* link : {m_homePageLink, m_supportLink, m_encoderLink}) text->addWidget(link);
  text->addStretch();

  auto* top = new QHBoxLayout;
  top->setSpacing(16);
  // The program icon is shared artwork; without it the box simply shows no picture.
  if (QFile::exists(kIconPath)) {
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(kIconPath).pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
  }
  top->addLayout(text, 1);

  auto* checkUpdates = new QPushButton(tr("&Check Updates"), this);
  checkUpdates->setObjectName(QStringLiteral("checkUpdatesButton"));
  checkUpdates->setAutoDefault(false);
  auto* tellAFriend = new QPushButton(tr("Tell a Friend"), this);
  tellAFriend->setObjectName(QStringLiteral("tellAFriendButton"));
  tellAFriend->setAutoDefault(false);
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  // Enter in a fresh box closes it rather than opening the first link.
  ok->setFocus();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(checkUpdates);
  buttons->addWidget(tellAFriend);
  buttons->addStretch();
  buttons->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(checkUpdates, &QPushButton::clicked, this, [this] { RunWebCommand(WebCommand::CheckUpdates, m_opener); });
  connect(tellAFriend, &QPushButton::clicked, this, [this] { RunWebCommand(WebCommand::TellAFriend, m_opener); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 20, 20, 12);
  layout->setSpacing(16);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutDlg::SetOpener(const UrlOpener& opener) {
  m_opener = opener;
  for (CLinkStatic* link : {m_homePageLink, m_supportLink, m_encoderLink}) link->SetOpener(opener);
}

CLinkStatic* CAboutDlg::AddLink(const QString& name, const QString& text, const QString& target) {
  auto* link = new CLinkStatic(text, this);
  link->setObjectName(name);
  link->SetTarget(target);
  link->SetUnderline(CLinkStatic::Underline::Always);
  return link;
}

}  // namespace velmora::ui
