#include "cli/report_observer.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <utility>

#include "audio/aiff_reader.h"
#include "cli/outcome_text.h"
#include "convert/output_format.h"
#include "platform/system_calls.h"
#include "platform/text_encoding.h"

namespace velmora::cli {
namespace {

// The bytes of the character at the start of `text`, and whether it is valid UTF-8 (no overlong
// form, surrogate or value past U+10FFFF). An invalid one is the longest start of a valid
// sequence there, at least one byte: it becomes one U+FFFD, as Unicode's advice for decoders has
// it, so the report reads as Python, Qt and browsers read the same bytes.
std::pair<std::size_t, bool> Utf8Char(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {1, true};
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return {1, false};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const bool fits = i < text.size() && byte(i) >= (i == 1 ? low : 0x80) && byte(i) <= (i == 1 ? high : 0xBF);
    if (!fits) return {i, false};
  }
  return {length, true};
}

// `text` as a JSON string: quotes, backslashes and control characters escaped, and what is not
// valid UTF-8 as U+FFFD, so the line stays valid JSON whatever the name.
void AppendString(std::string& json, std::string_view text) {
  json += '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const auto [length, valid] = Utf8Char(text.substr(i));
    if (!valid) {
      json += "\\ufffd";
    } else if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c == '\n') {
      json += "\\n";
    } else if (c == '\t') {
      json += "\\t";
    } else if (c < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      json += "\\u00";
      json += kHex[c >> 4];
      json += kHex[c & 0xF];
    } else {
      json.append(text.substr(i, length));
    }
    i += length;
  }
  json += '"';
}

void AppendHex(std::string& json, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  json += '"';
  for (const char b : bytes) {
    json += kHex[static_cast<unsigned char>(b) >> 4];
    json += kHex[static_cast<unsigned char>(b) & 0xF];
  }
  json += '"';
}

// A number with `decimals` decimals, whatever the locale; null when it is not finite (JSON has
// no NaN).
void AppendNumber(std::string& json, double value, int decimals) {
  if (!std::isfinite(value)) {
    json += "null";
    return;
  }
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  json.append(text, ec == std::errc() ? end : text);
}

// `"key":"name"`, and `"key_hex":"..."` after it when the name is not valid UTF-8.
void AppendName(std::string& json, const char* key, const std::string& name) {
  json += std::string(",\"") + key + "\":";
  if (name.empty()) {
    json += "null";
    return;
  }
  AppendString(json, name);
  if (!IsValidUtf8(name)) {
    json += std::string(",\"") + key + "_hex\":";
    AppendHex(json, name);
  }
}

const char* OutcomeName(FileResult result) {
  switch (result) {
    case FileResult::Converted: return "converted";
    case FileResult::Skipped: return "skipped";
    case FileResult::Failed: return "failed";
    case FileResult::Cancelled: return "cancelled";
  }
  return "failed";
}

const char* NoteName(TagNote::Kind kind) {
  using Kind = TagNote::Kind;
  switch (kind) {
    case Kind::TextChunkOverLimit: return "text_chunk_over_limit";
    case Kind::TextFrameOverLimit: return "text_frame_over_limit";
    case Kind::PictureOverLimit: return "picture_over_limit";
    case Kind::TooManyPictures: return "too_many_pictures";
    case Kind::TooManyChunks: return "too_many_chunks";
    case Kind::InflatingOverLimit: return "inflating_over_limit";
    case Kind::DamagedText: return "damaged_text";
    case Kind::Id3ChunkTooLarge: return "id3_chunk_too_large";
    case Kind::ChunkTooLarge: return "chunk_too_large";
    case Kind::OutputTagTooLarge: return "output_tag_too_large";
    case Kind::PictureOverBlock: return "picture_over_block";
    case Kind::ChunksNotKept: return "chunks_not_kept";
    case Kind::FloatAsInteger: return "float_as_integer";
    case Kind::PictureNotCarried: return "picture_not_carried";
    case Kind::MarkerDropped: return "marker_dropped";
    case Kind::LoopBadPlayMode: return "loop_bad_play_mode";
    case Kind::LoopMarkerMissing: return "loop_marker_missing";
    case Kind::LoopEndBeforeBegin: return "loop_end_before_begin";
    case Kind::SamplerChunkShort: return "sampler_chunk_short";
  }
  return "unknown";
}

const char* LoudnessName(LoudnessNote::Kind kind) {
  using Kind = LoudnessNote::Kind;
  switch (kind) {
    case Kind::None: return nullptr;
    case Kind::Reached: return "reached";
    case Kind::HeldByCeiling: return "held_by_ceiling";
    case Kind::ReplayGain: return "replaygain";
    case Kind::TooQuietForReplayGain: return "too_quiet_for_replaygain";
    case Kind::TooQuietToNormalise: return "too_quiet_to_normalise";
    case Kind::NotMeasuredAtRate: return "not_measured_at_rate";
  }
  return nullptr;
}

void AppendNotes(std::string& json, const FileOutcome& outcome) {
  json += ",\"notes\":[";
  bool first = true;
  const auto note = [&](const char* kind, std::uint64_t count, const std::string& id) {
    json += first ? "{\"kind\":\"" : ",{\"kind\":\"";
    json += kind;
    json += "\",\"count\":" + std::to_string(count);
    if (!id.empty()) {
      json += ",\"id\":";
      AppendString(json, id);
    }
    json += '}';
    first = false;
  };
  for (const TagNote& tagNote : outcome.tagNotes) note(NoteName(tagNote.kind), tagNote.count, tagNote.id);
  if (outcome.loudness.nonFinite > 0) note("non_finite_samples", outcome.loudness.nonFinite, {});
  const CompanionNote& companions = outcome.companions;
  if (companions.copied > 0) note("companions_copied", companions.copied, {});
  if (companions.present > 0) note("companions_left_alone", companions.present, {});
  if (companions.tooLarge > 0) note("companions_too_large", companions.tooLarge, {});
  if (companions.failed > 0) note("companions_failed", companions.failed, companions.firstFailed);
  json += ']';
}

// The value is in LUFS (reached, held), dB (ReplayGain) or Hz (not measured at a rate).
void AppendLoudness(std::string& json, const LoudnessNote& loudness) {
  json += ",\"loudness\":";
  const char* kind = LoudnessName(loudness.kind);
  if (!kind) {
    json += "null";
    return;
  }
  json += std::string("{\"kind\":\"") + kind + "\"";
  const bool hasValue = loudness.kind != LoudnessNote::Kind::TooQuietForReplayGain &&
                        loudness.kind != LoudnessNote::Kind::TooQuietToNormalise;
  json += ",\"value\":";
  if (hasValue) AppendNumber(json, loudness.value, 2);
  else json += "null";
  if (loudness.kind == LoudnessNote::Kind::HeldByCeiling) {
    json += ",\"ceiling\":";
    AppendNumber(json, loudness.ceiling, 1);
  }
  json += '}';
}

std::string ReportLine(const FileReport& report, OutputFormat format, double durationSeconds, double seconds) {
  const FileOutcome& outcome = report.outcome;
  std::string json = "{\"source\":";
  AppendString(json, report.sourcePath);
  if (!IsValidUtf8(report.sourcePath)) {
    json += ",\"source_hex\":";
    AppendHex(json, report.sourcePath);
  }
  AppendName(json, "output", report.outputPath);
  json += std::string(",\"format\":\"") + std::string(FormatInfo(format).name) + "\"";
  json += std::string(",\"outcome\":\"") + OutcomeName(outcome.result) + "\"";
  json += ",\"reason\":";
  const std::string reason = ReasonText(outcome);
  if (reason.empty()) json += "null";
  else AppendString(json, reason);
  AppendNotes(json, outcome);
  AppendLoudness(json, outcome.loudness);
  json += ",\"duration_s\":";
  if (durationSeconds >= 0) AppendNumber(json, durationSeconds, 6);
  else json += "null";
  json += ",\"seconds\":";
  if (seconds >= 0) AppendNumber(json, seconds, 3);
  else json += "null";
  json += "}\n";
  return json;
}

// The source's length of sound as its header gives it; negative when it cannot be read.
double SourceSeconds(const std::string& path) {
  AiffReader reader;
  if (!reader.Open(path) || reader.Info().sampleRate <= 0) return -1;
  return static_cast<double>(reader.Info().frames) / reader.Info().sampleRate;
}

}  // namespace

ReportObserver::ReportObserver(BatchObserver& next, int fd, const std::vector<BatchItem>& sources)
    : m_next(next), m_fd(fd), m_sources(sources) {}

void ReportObserver::BatchStarted(int fileCount, OutputFormat format) {
  {
    std::lock_guard lock(m_mutex);
    m_format = format;
    m_started.assign(static_cast<std::size_t>(fileCount), {});
    m_reported.assign(static_cast<std::size_t>(fileCount), false);
  }
  m_next.BatchStarted(fileCount, format);
}

void ReportObserver::MeasuringProgress(int measured, int total) { m_next.MeasuringProgress(measured, total); }

void ReportObserver::FramesMeasured(int index, std::uint64_t framesDone, std::uint64_t totalFrames) {
  m_next.FramesMeasured(index, framesDone, totalFrames);
}

void ReportObserver::FileStarted(int index, const std::string& sourcePath) {
  {
    std::lock_guard lock(m_mutex);
    m_started[static_cast<std::size_t>(index)] = std::chrono::steady_clock::now();
  }
  m_next.FileStarted(index, sourcePath);
}

void ReportObserver::FramesDone(int index, std::uint64_t framesDone, std::uint64_t totalFrames) {
  m_next.FramesDone(index, framesDone, totalFrames);
}

void ReportObserver::FileFinished(int index, const FileReport& report) {
  // The header is read outside the lock, on the worker that finished the file.
  const double duration = SourceSeconds(report.sourcePath);
  std::chrono::steady_clock::time_point started;
  OutputFormat format = OutputFormat::Mp3;
  {
    std::lock_guard lock(m_mutex);
    started = m_started[static_cast<std::size_t>(index)];
    format = m_format;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const std::string line = ReportLine(report, format, duration, seconds);
  {
    std::lock_guard lock(m_mutex);
    m_reported[static_cast<std::size_t>(index)] = true;
    Write(line);
  }
  m_next.FileFinished(index, report);
}

void ReportObserver::BatchFinished() {
  {
    // Sources a cancel kept the batch from: their headers are not read, so a cancel stays quick.
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_reported.size(); ++i) {
      if (m_reported[i]) continue;
      Write(ReportLine({m_sources[i].sourcePath, {}, FileOutcome::Cancelled(), {}}, m_format, -1, -1));
      m_reported[i] = true;
    }
  }
  m_next.BatchFinished();
}

void ReportObserver::Write(const std::string& line) {
  if (m_error) return;
  // One write gives the whole line where the system allows; a short one (a pipe, a signal)
  // goes on with the rest.
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t written = Sys().write(m_fd, line.data() + done, line.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      m_error = written < 0 ? errno : ENOSPC;
      return;
    }
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace velmora::cli
