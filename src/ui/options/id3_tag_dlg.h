#pragma once

#include <QDialog>

#include "settings/converter_settings.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

namespace velmora::ui {

// "Edit ID3 tag": title (or the title taken from each source's file name), artist, album, year,
// comment and genre of the tag added to MP3 output. Texts are limited to what an ID3v1 tag holds.
class CId3TagDlg : public QDialog {
  Q_OBJECT

 public:
  CId3TagDlg(const Id3TagRecord& record, QWidget* parent = nullptr);

  // The record given, with the fields as the dialog holds them; the bytes beyond the fields
  // are carried over unchanged.
  Id3TagRecord Record() const;

  void accept() override;

 private:
  QLineEdit* AddTextRow(QGridLayout* grid, int row, const QString& label, const QString& name,
                        const std::string& text);

  Id3TagRecord m_record;
  QLineEdit* m_title = nullptr;
  QCheckBox* m_titleFromFileName = nullptr;
  QLineEdit* m_artist = nullptr;
  QLineEdit* m_album = nullptr;
  QLineEdit* m_year = nullptr;
  QComboBox* m_genre = nullptr;
  QLineEdit* m_comment = nullptr;
};

}  // namespace velmora::ui
