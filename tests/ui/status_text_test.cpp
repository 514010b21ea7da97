#include "ui/status_text.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "audio/id3v2_screen.h"
#include "cli/outcome_text.h"
#include "convert/tag_writer.h"
#include "ui/translations.h"

namespace velmora::ui {
namespace {

// The window words the engine's codes itself: the failures a user tells apart by their text,
// and a converted file's name with whatever the user should know of it.
TEST(StatusTextTest, WordsEachOutcomeTheWayTheListShowsIt) {
  FileOutcome converted{FileResult::Converted, FileReason::SourceEndsEarly, 0, {}, 400, 1000};
  converted.tagNotes = {{TagNote::Kind::PictureOverLimit, "", 1, 20 << 20, kMaxTagPictureBytes}};
  EXPECT_EQ(StatusText(converted, "/music/out/a.mp3"),
            QStringLiteral("a.mp3 (source ends early: 400 of 1,000 frames) (picture of 20,971,520 bytes left out "
                           "(over the 16 MiB limit for pictures))"));
  EXPECT_EQ(StatusText({FileResult::Converted, FileReason::None, 0, {}, 0, 0}, "/m/b.wav"), QStringLiteral("b.wav"));

  EXPECT_EQ(StatusText(FileOutcome::Failure(FileReason::FolderFailed, "/out/x/", ENOTDIR), {}),
            QStringLiteral("Failed to create folder \"/out/x/\""));
  EXPECT_EQ(StatusText(FileOutcome::Failure(FileReason::NoOutputPlace, {}, EACCES), {}),
            QStringLiteral("Failed to create destination file"));
  EXPECT_EQ(StatusText(FileOutcome::Failure(FileReason::OutOfMemory), {}), QStringLiteral("Conversion Failure"));
  EXPECT_EQ(StatusText(FileOutcome::Cancelled(), {}), QStringLiteral("Cancelled"));

  // The Details say why, which the column leaves out.
  EXPECT_EQ(DetailsText(FileOutcome::Unreadable(AiffError::UnsupportedCompression, "QDMC"), "/m/a.aifc", {}),
            QStringLiteral("Source: /m/a.aifc\nConversion Failure\n\u2022 source: unsupported compression 'QDMC'"));
  EXPECT_EQ(DetailsText(FileOutcome::Failure(FileReason::NoOutputPlace, {}, ENOSPC), "/m/a.aif", {}),
            QStringLiteral("Source: /m/a.aif\nFailed to create destination file\n\u2022 No space left on device"));
  EXPECT_EQ(DetailsText(FileOutcome::RateFailure(FileReason::CannotResample, 8, 44100), "/m/a.aif", {}),
            QStringLiteral("Source: /m/a.aif\nConversion Failure\n\u2022 cannot convert 8 Hz to 44,100 Hz"));
  EXPECT_EQ(DetailsText(converted, "/m/a.aif", "/music/out/a.mp3"),
            QStringLiteral("Source: /m/a.aif\nOutput: /music/out/a.mp3\n\u2022 source ends early: 400 of 1,000 "
                           "frames\n\u2022 picture of 20,971,520 bytes left out (over the 16 MiB limit for pictures)"));
}

// Every note a converted file can carry reads in the user's language, with the user's digit
// grouping, one thing and many; in English it reads as the command line prints it.
TEST(StatusTextTest, EveryNoteOfAConvertedFileReadsInTheUsersLanguage) {
  using Kind = TagNote::Kind;
  const struct {
    TagNote note;
    const char* german;
    const char* french;  // U+202F groups digits in French
  } cases[] = {
      {{Kind::TextChunkOverLimit, "ANNO", 1, 2097152, kMaxTagTextBytes},
       "ANNO-Chunk mit 2.097.152 Bytes ausgelassen (über der Grenze von 1 MiB für Texte)",
       "bloc ANNO de 2\u202F097\u202F152 octets omis (au-delà de la limite de 1 Mio pour les textes)"},
      {{Kind::TextChunkOverLimit, "AUTH", 3, 3145728, kMaxTagTextBytes},
       "3 AUTH-Chunks mit insgesamt 3.145.728 Bytes ausgelassen (über der Grenze von 1 MiB für Texte)",
       "3 blocs AUTH de 3\u202F145\u202F728 octets au total omis (au-delà de la limite de 1 Mio pour les textes)"},
      {{Kind::TextFrameOverLimit, "COMM", 1, 314572805, kMaxTagTextBytes},
       "ID3-Frame COMM mit 314.572.805 Bytes ausgelassen (über der Grenze von 1 MiB für Texte)",
       "trame ID3 COMM de 314\u202F572\u202F805 octets omise (au-delà de la limite de 1 Mio pour les textes)"},
      {{Kind::TextFrameOverLimit, "TT2", 2, 1, kMaxTagTextBytes},
       "2 ID3-Frames TT2 mit insgesamt 1 Byte ausgelassen (über der Grenze von 1 MiB für Texte)",
       "2 trames ID3 TT2 de 1 octet au total omises (au-delà de la limite de 1 Mio pour les textes)"},
      {{Kind::PictureOverLimit, "", 2, 33552384, kMaxTagPictureBytes},
       "2 Bilder mit insgesamt 33.552.384 Bytes ausgelassen (über der Grenze von 16 MiB für Bilder)",
       "2 images de 33\u202F552\u202F384 octets au total omises (au-delà de la limite de 16 Mio pour les images)"},
      {{Kind::InflatingOverLimit, "", 1, 16777216, kMaxTagInflateBytes},
       "komprimierter ID3-Frame mit 16.777.216 Bytes ausgelassen (über der Grenze von 64 MiB zum Entpacken)",
       "trame ID3 compressée de 16\u202F777\u202F216 octets omise (au-delà de la limite de 64 Mio pour la "
       "décompression)"},
      {{Kind::TooManyPictures, "", 999996, 0, kMaxTagPictures},
       "999.996 Bilder ausgelassen (höchstens 4 werden übernommen)",
       "999\u202F996 images omises (4 au plus sont conservées)"},
      {{Kind::TooManyChunks, "", 8930, 0, kMaxMetadataChunks},
       "8.930 Metadaten-Chunks ausgelassen (höchstens 131.072 werden gelesen)",
       "8\u202F930 blocs de métadonnées omis (131\u202F072 au plus sont lus)"},
      {{Kind::DamagedText, "TIT2", 1, 0, 0}, "ID3-Frame TIT2 ausgelassen (beschädigter Text)",
       "trame ID3 TIT2 omise (texte endommagé)"},
      {{Kind::Id3ChunkTooLarge, "", 1, 17 << 20, kMaxMetadataChunkBytes},
       "Tags nicht übernommen: ID3-Chunk mit 17 MiB überschreitet die Grenze",
       "étiquettes non copiées : le bloc ID3 de 17 Mio dépasse la limite"},
      {{Kind::ChunkTooLarge, "ANNO", 2, 3u << 24, kMaxMetadataChunkBytes},
       "2 ANNO-Chunks mit insgesamt 48 MiB überschreiten die Grenze",
       "2 blocs ANNO de 48 Mio au total dépassent la limite"},
      {{Kind::OutputTagTooLarge, "", 1, kMaxId3v2TagBytes + 1, kMaxId3v2TagBytes},
       "Tags nicht übernommen: ID3-Tag mit 257 MiB überschreitet die Höchstgröße",
       "étiquettes non copiées : l'étiquette ID3 de 257 Mio dépasse sa taille maximale"},
  };
  FileOutcome gapless{FileResult::Converted, FileReason::GaplessFrameLeftOut, 0, {}, 0, 0};
  gapless.mp3 = {8, 11025};
  const struct {
    QLocale locale;
    const char* gapless;
  } languages[] = {
      {QLocale(QLocale::German, QLocale::Germany),
       "nicht lückenlos: ein Frame mit 8 kbit/s bei 11.025 Hz bietet keinen Platz für den Info-Frame"},
      {QLocale(QLocale::French, QLocale::France),
       "pas sans interruption : une trame de 8 kbit/s à 11\u202F025 Hz n'a pas la place pour la trame "
       "d'information"},
      {QLocale(QLocale::English, QLocale::UnitedKingdom),
       "not gapless: a frame of 8 kbit/s at 11,025 Hz has no room for the information frame"},
  };
  const QLocale before;
  for (const auto& language : languages) {
    SCOPED_TRACE(qPrintable(language.locale.name()));
    const UiTranslations translations(language.locale);
    QLocale::setDefault(language.locale);
    const auto line = [](const std::string& words) {
      return QStringLiteral("a.mp3 (%1)").arg(QString::fromStdString(words));
    };
    EXPECT_EQ(StatusText(gapless, "/out/a.mp3"), line(language.gapless));
    for (const auto& c : cases) {
      FileOutcome outcome{FileResult::Converted, FileReason::None, 0, {}, 0, 0};
      outcome.tagNotes = {c.note};
      const std::string words = language.locale.language() == QLocale::German   ? c.german
                                : language.locale.language() == QLocale::French ? c.french
                                                                                : cli::TagNoteText(c.note);
      EXPECT_EQ(StatusText(outcome, "/out/a.mp3"), line(words));
    }
  }
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace velmora::ui
