#include "ui/options/id3_tag_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "convert/id3_genres.h"
#include "settings/option_limits.h"
#include "ui/about/help_window.h"
#include "ui/options/page_parts.h"

namespace velmora::ui {

CId3TagDlg::CId3TagDlg(const Id3TagRecord& record, QWidget* parent) : QDialog(parent), m_record(record) {
  setObjectName(QStringLiteral("id3TagDialog"));
  setWindowTitle(tr("Edit ID3 tag"));
  setFont(OptionsFont());
  setWindowModality(Qt::WindowModal);
  AddHelpKey(this, [] { return QStringLiteral("mp3-options.html#id3"); });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setSpacing(14);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  layout->addLayout(grid);

  m_title = AddTextRow(grid, 0, tr("&Title:"), QStringLiteral("titleEdit"), record.Title());
  m_titleFromFileName = new QCheckBox(tr("Name as file name (not include extension)"), this);
  m_titleFromFileName->setObjectName(QStringLiteral("titleFromFileNameCheck"));
  m_titleFromFileName->setChecked(record.TitleFromFileName());
  grid->addWidget(m_titleFromFileName, 1, 1, 1, 3);

  m_artist = AddTextRow(grid, 2, tr("&Artist:"), QStringLiteral("artistEdit"), record.Artist());
  m_album = AddTextRow(grid, 3, tr("Albu&m:"), QStringLiteral("albumEdit"), record.Album());

  m_year = new QLineEdit(QString::fromStdString(record.Year()), this);
  m_year->setObjectName(QStringLiteral("yearEdit"));
  m_year->setMaxLength(kId3YearChars);
  m_year->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_year));
  m_year->setMaximumWidth(m_year->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
  grid->addWidget(BuddyLabel(tr("&Year:"), m_year), 4, 0);
  grid->addWidget(m_year, 4, 1);

  m_genre = new QComboBox(this);
  m_genre->setObjectName(QStringLiteral("genreCombo"));
  std::vector<std::pair<QString, int>> genres;
  genres.reserve(kGenreCount);
  for (int genre = 0; genre < kGenreCount; ++genre) genres.emplace_back(QString::fromUtf8(GenreName(genre)), genre);
  std::sort(genres.begin(), genres.end(), [](const auto& a, const auto& b) {
    return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
  });
  // The empty choice first, so that a genre once chosen can be taken back.
  m_genre->addItem(QString(), static_cast<int>(kNoGenre));
  m_genre->setItemData(0, tr("No genre"), Qt::AccessibleTextRole);
  for (const auto& [name, genre] : genres) m_genre->addItem(name, genre);
  // A number outside the list shows no genre, as 255 does.
  m_genre->setCurrentIndex(std::max(0, m_genre->findData(static_cast<int>(record.Genre()))));
  grid->addWidget(BuddyLabel(tr("&Genre:"), m_genre), 4, 2);
  grid->addWidget(m_genre, 4, 3);

  m_comment = AddTextRow(grid, 5, tr("&Comment:"), QStringLiteral("commentEdit"), record.Comment());
  grid->setColumnStretch(3, 1);
  grid->setColumnMinimumWidth(1, m_title->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CId3TagDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  m_title->setEnabled(!m_titleFromFileName->isChecked());
  connect(m_titleFromFileName, &QCheckBox::toggled, this, [this](bool on) { m_title->setEnabled(!on); });
  setMinimumWidth(sizeHint().width() * 5 / 4);
}

QLineEdit* CId3TagDlg::AddTextRow(QGridLayout* grid, int row, const QString& label, const QString& name,
                                  const std::string& text) {
  auto* edit = new QLineEdit(QString::fromStdString(text), this);
  edit->setObjectName(name);
  edit->setMaxLength(kId3TextChars);
  grid->addWidget(BuddyLabel(label, edit), row, 0);
  grid->addWidget(edit, row, 1, 1, 3);
  return edit;
}

Id3TagRecord CId3TagDlg::Record() const { return m_record; }

void CId3TagDlg::accept() {
  m_record.SetTitleFromFileName(m_titleFromFileName->isChecked());
  m_record.SetTitle(m_title->text().toStdString());
  m_record.SetArtist(m_artist->text().toStdString());
  m_record.SetAlbum(m_album->text().toStdString());
  m_record.SetYear(m_year->text().toStdString());
  m_record.SetComment(m_comment->text().toStdString());
  m_record.SetGenre(static_cast<std::uint8_t>(m_genre->currentData().toInt()));
  QDialog::accept();
}

}  // namespace velmora::ui
