#include "cli/outcome_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <utility>

#include "convert/companion_files.h"
#include "convert/loudness_plan.h"
#include "platform/system_calls.h"
#include "settings/option_limits.h"

namespace velmora::cli {
namespace {

std::string WithSystemError(const char* text, int error) {
  return error ? std::string(text) + ": " + SystemErrorText(error) : std::string(text);
}

std::string Format(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Hz(int rate) { return std::to_string(rate) + " Hz"; }

// What the MP3 encoder was asked for: "V2 at 8000 Hz", "320 kbit/s at 8000 Hz", "7 Hz input".
std::string Mp3Asked(const Mp3Figures& mp3) {
  if (mp3.automatic) return Hz(mp3.hz) + " input";
  const std::string quality = mp3.vbrQuality != kMp3ConstantBitRate ? "V" + std::to_string(mp3.vbrQuality)
                                                                     : std::to_string(mp3.kbps) + " kbit/s";
  return quality + " at " + Hz(mp3.hz);
}

// 1536 bytes as "2 KiB", 17 << 20 as "17 MiB": rounded up, so a size over a limit reads so.
std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKiB = 1024, kMiB = kKiB * 1024;
  if (bytes >= kMiB) return std::to_string((bytes + kMiB - 1) / kMiB) + " MiB";
  return std::to_string((bytes + kKiB - 1) / kKiB) + " KiB";
}

// "16,777,300 bytes": exact, so a size just past a limit does not read as the limit itself.
std::string BytesText(std::uint64_t bytes) { return WithThousands(bytes) + (bytes == 1 ? " byte" : " bytes"); }

// What a note is about, one or many: "ANNO chunk", "3 ID3 TIT2 frames", "picture".
std::string Subject(const TagNote& note) {
  using Kind = TagNote::Kind;
  std::string what;
  switch (note.kind) {
    case Kind::TextChunkOverLimit:
    case Kind::ChunkTooLarge: what = note.id + " chunk"; break;
    case Kind::TextFrameOverLimit:
    case Kind::DamagedText: what = "ID3 " + note.id + " frame"; break;
    case Kind::PictureOverLimit:
    case Kind::PictureNotCarried:
    case Kind::TooManyPictures: what = "picture"; break;
    case Kind::TooManyChunks: what = "metadata chunk"; break;
    case Kind::InflatingOverLimit: what = "compressed ID3 frame"; break;
    case Kind::MarkerDropped: what = "marker"; break;
    case Kind::LoopBadPlayMode:
    case Kind::LoopMarkerMissing:
    case Kind::LoopEndBeforeBegin: what = "loop"; break;
    case Kind::Id3ChunkTooLarge: what = "ID3 chunk"; break;
    case Kind::SamplerChunkShort:
    case Kind::OutputTagTooLarge:
    case Kind::PictureOverBlock:
    case Kind::ChunksNotKept:
    case Kind::FloatAsInteger: break;  // worded whole in TagNoteText
  }
  return note.count == 1 ? what : WithThousands(note.count) + " " + what + "s";
}

}  // namespace

std::string WithThousands(std::uint64_t number) {
  std::string digits = std::to_string(number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  }
  return digits;
}

std::string ReasonText(const FileOutcome& o) {
  switch (o.reason) {
    case FileReason::None: return {};
    case FileReason::SourceUnreadable: return AiffErrorMessage(o.sourceError, o.detail);
    case FileReason::InvalidSampleRate: return "invalid sample rate " + std::to_string(o.rate);
    case FileReason::CannotResample: return "cannot convert " + Hz(o.rate) + " to " + Hz(o.toRate);
    case FileReason::EncoderUnavailable: return "cannot start the MP3 encoder";
    case FileReason::EncoderRejects: return "the MP3 encoder does not take " + Mp3Asked(o.mp3);
    case FileReason::WriteFailed: return WithSystemError("cannot write output", o.systemError);
    case FileReason::WavTooLarge: return "output would pass the 4 GiB limit of WAV files";
    case FileReason::WavRateTooHigh: return "sample rate " + Hz(o.rate) + " is too high for a WAV header";
    case FileReason::FolderFailed:
      return WithSystemError(("cannot create folder \"" + o.detail + "\"").c_str(), o.systemError);
    case FileReason::NoOutputPlace: return WithSystemError("cannot create output file", o.systemError);
    case FileReason::OutputExists: return o.detail + " exists";
    case FileReason::GaplessFrameLeftOut:
      return "not gapless: a frame of " + std::to_string(o.mp3.kbps) + " kbit/s at " + Hz(o.mp3.hz) +
             " has no room for the information frame";
    case FileReason::OutOfMemory: return "out of memory";
    case FileReason::OpusEncoderFailed: return "the Opus encoder failed: " + o.detail;
    case FileReason::NoSoundForOpus: return "the source holds no sound at 48 kHz, and an Opus file cannot be empty";
    case FileReason::VerificationFailed: return o.detail.empty() ? "verification failed" : "verification failed: " + o.detail;
    case FileReason::SourceEndsEarly:
      return "source ends early: " + WithThousands(o.framesRead) + " of " + WithThousands(o.framesExpected) +
             " frames";
  }
  return "unknown error";
}

std::string LoudnessText(const LoudnessNote& note) {
  const std::string lufs = Format("%.1f LUFS", note.value);
  std::string text;
  switch (note.kind) {
    case LoudnessNote::Kind::None: break;
    case LoudnessNote::Kind::Reached: text = lufs; break;
    case LoudnessNote::Kind::HeldByCeiling:
      text = lufs + ", held by the " + Format(CeilingDecimals(note.ceiling) == 0 ? "%.0f" : "%.1f", note.ceiling) +
             " dBTP ceiling";
      break;
    case LoudnessNote::Kind::ReplayGain: text = "ReplayGain " + ReplayGainText(note.value); break;
    case LoudnessNote::Kind::TooQuietForReplayGain: text = "too quiet to measure: no ReplayGain"; break;
    case LoudnessNote::Kind::TooQuietToNormalise: text = "too quiet to measure: left as it is"; break;
    case LoudnessNote::Kind::NotMeasuredAtRate: text = "loudness not measured at " + Format("%.0f", note.value) + " Hz"; break;
  }
  if (note.nonFinite > 0 && !text.empty()) text += ", " + NonFiniteText(note.nonFinite);
  return text;
}

std::vector<std::string> CompanionTexts(const CompanionNote& note) {
  const auto files = [](int count) {
    return std::to_string(count) + (count == 1 ? " companion file" : " companion files");
  };
  std::vector<std::string> texts;
  if (note.copied) texts.push_back(files(note.copied) + " copied");
  if (note.present) texts.push_back(files(note.present) + " already in the output folder, left alone");
  if (note.tooLarge) {
    texts.push_back(files(note.tooLarge) + " over the " + SizeText(kMaxCompanionBytes) + " limit, not copied");
  }
  if (note.failed == 1) {
    texts.push_back(WithSystemError(("companion file " + note.firstFailed + " not copied").c_str(), note.error));
  } else if (note.failed > 1) {
    texts.push_back(
        WithSystemError((files(note.failed) + " not copied, the first " + note.firstFailed).c_str(), note.error));
  }
  return texts;
}

std::string NonFiniteText(std::uint64_t count) {
  return WithThousands(count) + (count == 1 ? " sample" : " samples") + " not finite, measured as silence";
}

std::string TagNoteText(const TagNote& note) {
  using Kind = TagNote::Kind;
  const bool one = note.count == 1;
  const std::string what = Subject(note);
  // "2 pictures of 33,552,384 bytes in all left out (over the 16 MiB limit for pictures)".
  const auto overLimit = [&](const char* of) {
    return what + " of " + BytesText(note.bytes) + (one ? "" : " in all") + " left out (over the " +
           SizeText(note.limit) + " limit for " + of + ")";
  };
  switch (note.kind) {
    case Kind::TextChunkOverLimit:
    case Kind::TextFrameOverLimit: return overLimit("texts");
    case Kind::PictureOverLimit: return overLimit("pictures");
    case Kind::InflatingOverLimit: return overLimit("inflating");
    case Kind::TooManyPictures: return what + " left out (at most " + WithThousands(note.limit) + " are kept)";
    case Kind::TooManyChunks: return what + " left out (at most " + WithThousands(note.limit) + " are read)";
    case Kind::DamagedText: return what + " left out (damaged text)";
    case Kind::PictureNotCarried: return what + " left out (not JPEG, PNG or GIF)";
    case Kind::Id3ChunkTooLarge:
    case Kind::ChunkTooLarge:
      return (note.kind == Kind::Id3ChunkTooLarge ? "tags not copied: " : "") + what + " of " + SizeText(note.bytes) +
             (one ? " is" : " in all are") + " over the limit";
    case Kind::OutputTagTooLarge:
      return "tags not copied: an ID3 tag of " + SizeText(note.bytes) + " is over its limit";
    case Kind::PictureOverBlock:
      return (one ? "picture of " : WithThousands(note.count) + " pictures of ") + BytesText(note.bytes) +
             (one ? "" : " in all") + " left out (over the " + SizeText(note.limit) + " limit of a FLAC block)";
    case Kind::ChunksNotKept:
      return (one ? note.id + " chunk of " : WithThousands(note.count) + " chunks of ") + BytesText(note.bytes) +
             (one ? "" : " in all") + " not kept (over the " + SizeText(note.limit) +
             " limit of a FLAC block): the AIFF restored from it will differ";
    case Kind::FloatAsInteger: return "float samples stored as " + std::to_string(note.limit) + "-bit integers";
    case Kind::MarkerDropped:
      return what + " left out (past the last frame, " + WithThousands(note.limit) + ", or with a repeated or bad id)";
    case Kind::LoopBadPlayMode: return what + " left out (play mode not 0, 1 or 2)";
    case Kind::LoopMarkerMissing: return what + " left out (a marker it names is missing)";
    case Kind::LoopEndBeforeBegin: return what + " left out (it ends before it begins)";
    case Kind::SamplerChunkShort: return note.id + " chunk cut short: the rest left out";
  }
  return {};
}

std::vector<std::string> DescribeSampler(const SamplerInfo& info) {
  std::vector<std::string> lines;
  if (info.instrument) {
    lines.push_back("instrument: base note " + std::to_string(info.baseNote) + ", detune " +
                    (info.detune > 0 ? "+" : "") + std::to_string(info.detune) + " cents, notes " +
                    std::to_string(info.lowNote) + "-" + std::to_string(info.highNote) + ", velocities " +
                    std::to_string(info.lowVelocity) + "-" + std::to_string(info.highVelocity) + ", gain " +
                    std::to_string(info.gain) + " dB");
    const std::pair<const char*, const std::optional<SamplerLoop>*> loops[] = {{"sustain", &info.sustainLoop},
                                                                               {"release", &info.releaseLoop}};
    for (const auto& [name, loop] : loops) {
      if (!*loop) continue;
      lines.push_back(std::string(name) + " loop: " +
                      ((*loop)->mode == SamplerLoop::Mode::Forward ? "forward" : "forward-backward") + ", frames " +
                      WithThousands((*loop)->begin) + " to " + WithThousands((*loop)->end));
    }
  }
  for (const SamplerMarker& marker : info.markers) {
    std::string name = marker.name;
    std::replace_if(name.begin(), name.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }, ' ');
    lines.push_back("marker " + std::to_string(marker.id) + " at frame " + WithThousands(marker.position) +
                    (name.empty() ? "" : ": " + name));
  }
  return lines;
}

std::vector<std::string> DescribeTags(const SourceTags& tags) {
  std::vector<std::string> lines;
  const std::pair<const char*, const std::string*> fields[] = {
      {"title", &tags.title}, {"artist", &tags.artist}, {"album", &tags.album},         {"year", &tags.year},
      {"track", &tags.track}, {"genre", &tags.genre},   {"comment", &tags.comment}, {"copyright", &tags.copyright}};
  for (const auto& [name, value] : fields) {
    if (value->empty()) continue;
    // Line breaks, and control characters that a terminal would act on, become spaces.
    std::string shown = *value;
    std::replace_if(shown.begin(), shown.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }, ' ');
    lines.push_back(std::string(name) + ": " + shown);
  }
  for (const TagPicture& picture : tags.pictures) {
    lines.push_back("picture: type " + std::to_string(picture.type) + ", " +
                    (picture.mimeType.empty() ? std::string("no MIME type") : picture.mimeType) + ", " +
                    std::to_string(picture.data.size()) + " bytes");
  }
  return lines;
}

std::string PatternProblemText(const PatternProblem& problem) {
  using Kind = PatternProblem::Kind;
  switch (problem.kind) {
    case Kind::None: return {};
    case Kind::Empty: return "the name pattern is empty";
    case Kind::StartsWithSlash: return "the name pattern must not start with '/': it names a path below the output folder";
    case Kind::EndsWithSlash: return "the name pattern must end with a file name, not '/'";
    case Kind::EmptyOrDotFolder: return "the name pattern has an empty, '.' or '..' folder";
    case Kind::CloseWithoutOpen: return "the name pattern has a '}' without its '{'";
    case Kind::OpenWithoutClose: return "the name pattern has a '{' without its '}'";
    case Kind::UnknownField:
      return "the name pattern has an unknown field {" + problem.field +
             "}; known: {name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}";
    case Kind::PathNotAFolder:
      return "the name pattern must give {path} a whole folder of its own, as in {path}/{name}";
  }
  return {};
}

}  // namespace velmora::cli
