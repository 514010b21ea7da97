#include "ui/options/opt_output_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "audio/aiff_reader.h"
#include "platform/file_system.h"
#include "ui/options/page_parts.h"

namespace velmora::ui {

COptOutputPage::COptOutputPage(QWidget* parent) : COptPage(parent), m_chooseFolder(&ChooseFolder) {
  setObjectName(QStringLiteral("outputPage"));
  QVBoxLayout* page = PageLayout(this);
  QGridLayout* grid = AddGroup(page, QStringLiteral("group-output"), tr("Output Folder"));

  m_folderOption = new QComboBox(this);
  m_folderOption->setObjectName(QStringLiteral("folderOptionCombo"));
  m_folderOption->addItem(tr("Same as source file"), kOutputFolderSameAsSource);
  m_folderOption->addItem(tr("Specify output folder"), kOutputFolderSpecified);
  grid->addWidget(BuddyLabel(tr("&Output Folder:"), m_folderOption), 0, 0);
  grid->addWidget(m_folderOption, 0, 1, 1, 2);

  m_folder = new QLineEdit(this);
  m_folder->setObjectName(QStringLiteral("specifiedFolderEdit"));
  m_browse = new QPushButton(tr("&Browse"), this);
  m_browse->setObjectName(QStringLiteral("browseButton"));
  m_browse->setAutoDefault(false);
  m_browse->setAccessibleName(tr("Browse for the output folder"));
  grid->addWidget(BuddyLabel(tr("&Specific Folder:"), m_folder), 1, 0);
  grid->addWidget(m_folder, 1, 1);
  grid->addWidget(m_browse, 1, 2);

  m_createDirs = new QCheckBox(tr("&Create folders according to path of source file"), this);
  m_createDirs->setObjectName(QStringLiteral("createDirsCheck"));
  grid->addWidget(m_createDirs, 2, 1, 1, 2);
  // Lines break between the words, never inside a path: a word joiner follows each separator.
  const QString example = tr("For example, the source \"/home/ann/Music/pop/track.aiff\" with the output "
                              "folder \"/home/ann/Converted\" is written into "
                              "\"/home/ann/Converted/home/ann/Music/pop\", which is created automatically.");
  m_example = new QLabel(QString(example).replace(u'/', QStringLiteral("/\u2060")), this);
  m_example->setTextFormat(Qt::PlainText);
  m_example->setObjectName(QStringLiteral("createDirsExample"));
  m_example->setWordWrap(true);
  grid->addWidget(m_example, 3, 1, 1, 2);
  grid->setColumnStretch(1, 1);

  m_namePattern = new QLineEdit(this);
  m_namePattern->setObjectName(QStringLiteral("namePatternEdit"));
  m_namePattern->setToolTip(tr("{name} {folder} {path} {title} {artist} {album} {year} {genre} {track} "
                               "{track:02}; \"/\" makes folders; {artist|Various} names a fallback; {path}/ "
                               "recreates the folders below a folder added or dropped."));
  grid->addWidget(BuddyLabel(tr("File &names:"), m_namePattern), 4, 0);
  grid->addWidget(m_namePattern, 4, 1, 1, 2);
  m_nameExample = new QLabel(this);
  m_nameExample->setTextFormat(Qt::PlainText);
  m_nameExample->setObjectName(QStringLiteral("namePatternExample"));
  m_nameExample->setWordWrap(true);
  grid->addWidget(m_nameExample, 5, 1, 1, 2);

  m_browseWhenDone = new QCheckBox(tr("&Browse output folder while conversion is complete"), this);
  m_browseWhenDone->setObjectName(QStringLiteral("browseWhenDoneCheck"));
  grid->addWidget(m_browseWhenDone, 6, 0, 1, 3);
  grid->setRowMinimumHeight(6, m_browseWhenDone->sizeHint().height() + 8);
  grid->setAlignment(m_browseWhenDone, Qt::AlignBottom);
  m_verify = new QCheckBox(tr("&Verify each output before it is saved"), this);
  m_verify->setObjectName(QStringLiteral("verifyCheck"));
  m_verify->setToolTip(tr("Each new file is read back before it takes its name: WAV and FLAC files sample by "
                          "sample, MP3 and Opus files decoded whole. A file that fails is not saved."));
  grid->addWidget(m_verify, 7, 0, 1, 3);
  m_copyCompanions = new QCheckBox(tr("Copy covers and notes &found beside the sources"), this);
  m_copyCompanions->setObjectName(QStringLiteral("copyCompanionsCheck"));
  m_copyCompanions->setToolTip(
      tr("Pictures, PDF and text files in a source's folder are copied into the folder its output goes to. A "
         "name already there is left alone; cue sheets and playlists are never copied."));
  grid->addWidget(m_copyCompanions, 8, 0, 1, 3);

  QGridLayout* tags = AddGroup(page, QStringLiteral("group-id3"), tr("Tags"));
  m_copyTags = new QCheckBox(tr("Copy &tags from the source file"), this);
  m_copyTags->setObjectName(QStringLiteral("copyTagsCheck"));
  m_copyTags->setAccessibleName(tr("Copy tags from the source file"));
  m_copyTags->setToolTip(tr("Title, artist, album, comments, cover picture and the like go into the "
                            "output file."));
  tags->addWidget(m_copyTags, 0, 0);
  page->addStretch();

  connect(m_folderOption, &QComboBox::currentIndexChanged, this, &COptOutputPage::EnableFolderControls);
  connect(m_browse, &QPushButton::clicked, this, &COptOutputPage::OnBrowse);
  connect(m_namePattern, &QLineEdit::textChanged, this, &COptOutputPage::UpdateNameExample);
  SetExampleSource({});
}

void COptOutputPage::SetExampleSource(const std::string& path, const std::string& root) {
  m_exampleSource = path;
  m_exampleRoot = root;
  m_exampleTags = {};
  AiffReader reader;
  if (!path.empty() && reader.Open(path)) {
    m_exampleTags = reader.Tags({false, nullptr});  // the name needs no pictures
  } else if (path.empty()) {
    m_exampleSource = "/home/ann/Music/Ann Lee/Pop/track.aiff";
    m_exampleRoot = "/home/ann/Music";
    m_exampleTags.title = "Morning";
    m_exampleTags.artist = "Ann Lee";
    m_exampleTags.album = "Pop";
    m_exampleTags.year = "2001";
    m_exampleTags.genre = "Pop";
    m_exampleTags.track = "3/12";
  }
  UpdateNameExample();
}

// Why a pattern is refused, as a sentence that can follow "Please correct the file names:".
QString COptOutputPage::ProblemWords(const PatternProblem& problem) {
  using Kind = PatternProblem::Kind;
  switch (problem.kind) {
    case Kind::None: return {};
    case Kind::Empty: return tr("the name pattern is empty");
    case Kind::StartsWithSlash:
      return tr("the name pattern must not start with '/': it names a path below the output folder");
    case Kind::EndsWithSlash: return tr("the name pattern must end with a file name, not '/'");
    case Kind::EmptyOrDotFolder: return tr("the name pattern has an empty, '.' or '..' folder");
    case Kind::CloseWithoutOpen: return tr("the name pattern has a '}' without its '{'");
    case Kind::OpenWithoutClose: return tr("the name pattern has a '{' without its '}'");
    case Kind::UnknownField:
      return tr("the name pattern has an unknown field {%1}; known: {name} {folder} {path} {title} {artist} {album} "
                "{year} {genre} {track} {track:02}")
          .arg(QString::fromStdString(problem.field));
    case Kind::PathNotAFolder:
      return tr("the name pattern must give {path} a whole folder of its own, as in {path}/{name}");
  }
  return {};
}

void COptOutputPage::UpdateNameExample() {
  PatternProblem problem;
  const auto pattern = NamePattern::Parse(m_namePattern->text().toStdString(), problem);
  QString text;
  if (pattern) {
    // Lines break between the words, never inside a name: a word joiner follows each separator.
    text = tr("For example, \"%1\" becomes \"%2.mp3\".")
               .arg(QString::fromStdString(FileNamePart(m_exampleSource)),
                    QString::fromStdString(pattern->Expand(m_exampleSource, &m_exampleTags, m_exampleRoot)))
               .replace(u'/', QStringLiteral("/\u2060"));
  } else {
    const QString words = ProblemWords(problem);
    text = words.left(1).toUpper() + words.mid(1) + u'.';
  }
  m_nameExample->setText(text);
}

void COptOutputPage::Initialise() {
  WriteControls();
  setFont(OptionsFont());
  // An unknown option shows as the first, which the page takes once it is left.
  if (!SelectData(m_folderOption, m_values.folderOption)) m_folderOption->setCurrentIndex(0);
  EnableFolderControls();
}

void COptOutputPage::ReadControls() {
  m_values.specifiedFolder = m_folder->text().toStdString();
  m_values.createDirs = m_createDirs->isChecked() ? 1 : 0;
  m_values.browseWhenDone = m_browseWhenDone->isChecked() ? 1 : 0;
  m_values.verify = m_verify->isChecked() ? 1 : 0;
  m_values.copyCompanions = m_copyCompanions->isChecked() ? 1 : 0;
  m_values.copyTags = m_copyTags->isChecked() ? 1 : 0;
  m_values.namePattern = m_namePattern->text().toStdString();
}

void COptOutputPage::WriteControls() {
  m_folder->setText(QString::fromStdString(m_values.specifiedFolder));
  m_createDirs->setChecked(m_values.createDirs != 0);
  m_browseWhenDone->setChecked(m_values.browseWhenDone != 0);
  m_verify->setChecked(m_values.verify != 0);
  m_copyCompanions->setChecked(m_values.copyCompanions != 0);
  m_copyTags->setChecked(m_values.copyTags != 0);
  m_namePattern->setText(QString::fromStdString(m_values.namePattern));
}

// The folder controls serve a specified folder only, however the option was changed.
void COptOutputPage::EnableFolderControls() {
  const bool on = SelectedData(m_folderOption) == kOutputFolderSpecified;
  for (QWidget* control : {static_cast<QWidget*>(m_folder), static_cast<QWidget*>(m_browse),
                           static_cast<QWidget*>(m_createDirs), static_cast<QWidget*>(m_example)}) {
    control->setEnabled(on);
  }
}

void COptOutputPage::OnBrowse() {
  ReadControls();
  const auto folder = m_chooseFolder(this, tr("Output Folder"), tr("Please choose an output folder:"),
                                     QString::fromStdString(m_values.specifiedFolder));
  if (!folder) return;
  m_values.specifiedFolder = folder->toStdString();
  WriteControls();
}

std::optional<COptPage::Refusal> COptOutputPage::KillActive() {
  ReadControls();
  m_values.folderOption = SelectedData(m_folderOption);
  if (m_values.folderOption == kOutputFolderSpecified && m_values.specifiedFolder.empty()) {
    return Refusal{tr("Please choose an output folder."), m_folder};
  }
  if (PatternProblem problem; !NamePattern::Parse(m_values.namePattern, problem)) {
    return Refusal{tr("Please correct the file names: %1.").arg(ProblemWords(problem)), m_namePattern};
  }
  return std::nullopt;
}

}  // namespace velmora::ui
