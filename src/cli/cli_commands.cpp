#include "cli/cli_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "audio/aiff_reader.h"
#include "cli/outcome_text.h"
#include "cli/report_observer.h"
#include "cli/terminal_observer.h"
#include "cli/terminal_text.h"
#include "convert/conversion_job.h"
#include "convert/loudness_pass.h"
#include "convert/loudness_plan.h"
#include "filelist/folder_tree.h"
#include "platform/file_system.h"
#include "platform/settings_store.h"
#include "platform/system_calls.h"
#include "settings/settings_io.h"

namespace velmora::cli {
namespace {

std::string Duration(std::uint64_t frames, std::int32_t rate) {
  const std::uint64_t seconds = frames / static_cast<std::uint64_t>(rate > 0 ? rate : 1);
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                static_cast<unsigned long long>(seconds % 60));
  return text;
}

// The paths of a --files-from list: one a line, or NUL-separated; empty entries are skipped.
// A line list that holds NUL bytes was made for -0: no path may carry a NUL into the file
// system, where it would cut the name short.
bool ReadPathList(const CliOptions& options, std::vector<std::string>& paths, std::string& error) {
  const std::string& file = *options.filesFrom;
  std::ifstream stream;
  if (file != "-") {
    stream.open(file, std::ios::binary);
    if (!stream) return error = "cannot read " + file + ": " + SystemErrorText(errno), false;
  }
  std::istream& in = file == "-" ? std::cin : stream;
  const char separator = options.nulSeparated ? '\0' : '\n';
  for (std::string path; std::getline(in, path, separator);) {
    if (!options.nulSeparated && path.find('\0') != std::string::npos) {
      return error = "--files-from " + file + ": the names are separated by NUL bytes; read them with -0 (--null)", false;
    }
    if (!options.nulSeparated && !path.empty() && path.back() == '\r') path.pop_back();
    if (!path.empty()) paths.push_back(path);
  }
  if (in.bad()) return error = "cannot read " + file + ": " + SystemErrorText(errno), false;
  return true;
}

// The sources a run works on: folders are searched like Add Folder, files are taken as they
// are, and a file reached twice is taken once, with the root of its first appearance.
// Unreadable folders are reported on stderr.
struct Sources {
  std::vector<std::string> files;
  // Each file's root, which {path} starts from, as an index into `roots`: roots[0] is that of
  // the files given by themselves (--relative-to, or none), then one per folder searched.
  std::vector<std::uint32_t> rootOf;
  std::vector<std::string> roots;
  bool problems = false;
};

std::optional<Sources> CollectSources(const CliOptions& options, const Streams& streams) {
  std::vector<std::string> paths = options.paths;
  std::string error;
  if (options.relativeTo && !IsDirectory(*options.relativeTo)) {
    UsageError("--relative-to " + *options.relativeTo + ": no such folder");
    return std::nullopt;
  }
  if (options.filesFrom && !ReadPathList(options, paths, error)) {
    UsageError(error);
    return std::nullopt;
  }
  Sources sources;
  sources.roots.push_back(options.relativeTo.value_or(std::string()));
  PathLookup lookup;
  for (std::string& path : paths) {
    if (!lookup.IsDirectory(path)) {
      sources.files.push_back(std::move(path));
      sources.rootOf.push_back(0);
      continue;
    }
    std::vector<std::string> unreadable;
    const std::size_t before = sources.files.size();
    CollectFolderTree(path, sources.files, &unreadable);
    sources.rootOf.resize(sources.files.size(), static_cast<std::uint32_t>(sources.roots.size()));
    sources.roots.push_back(path);
    for (const std::string& folder : unreadable) {
      streams.Err("velmora-cli: cannot read folder " + folder);
      sources.problems = true;
    }
    if (sources.files.size() == before && unreadable.empty()) {
      streams.Err("velmora-cli: no AIFF files in " + path);
      sources.problems = true;
    }
  }
  RemoveDuplicateSources(sources.files, &sources.rootOf);
  return sources;
}

// The batch a signal cancels; none before it starts and after it ends.
std::atomic<ConversionJob*> g_job{nullptr};

extern "C" void OnInterrupt(int) {
  ConversionJob* job = g_job.load();
  // Outside a batch nothing is being written, so the program can end at once.
  if (!job) ::_exit(kExitInterrupted);
  job->Cancel();
  // A second signal ends the program at once.
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  for (const int sig : kInterruptSignals) ::sigaction(sig, &action, nullptr);
}

// Says on stderr which saved values were corrected on loading.
void ReportCorrections(const std::vector<SettingsCorrection>& corrections) {
  for (const SettingsCorrection& c : corrections) {
    std::fprintf(stderr, "velmora-cli: the saved %s %d cannot be used as it is; %d is used instead\n", c.name.c_str(),
                 c.stored, c.used);
  }
}

// Each source's seconds of sound, for the progress bar's estimate; 0 for one that cannot be read.
// Nothing once `stop` is asked for before the end.
std::vector<double> SoundSeconds(const std::vector<BatchItem>& items, const std::stop_token& stop) {
  std::vector<double> seconds;
  seconds.reserve(items.size());
  AiffReader reader;
  for (const BatchItem& item : items) {
    if (stop.stop_requested()) return {};
    const bool read = reader.Open(item.sourcePath) && reader.Info().sampleRate > 0;
    seconds.push_back(read ? static_cast<double>(reader.Info().frames) / reader.Info().sampleRate : 0.0);
    reader.Close();
  }
  return seconds;
}

// "loudness: -23.0 LUFS, range 5.2 LU, true peak -1.3 dBTP".
std::string LoudnessLine(const Loudness& loudness) {
  char text[128];
  if (loudness.integrated) {
    std::snprintf(text, sizeof text, "loudness: %.1f LUFS, range %.1f LU, true peak %.1f dBTP", *loudness.integrated,
                  loudness.range, loudness.TruePeakDb());
  } else if (loudness.truePeak > 0) {
    std::snprintf(text, sizeof text, "loudness: too quiet or too short to measure, true peak %.1f dBTP",
                  loudness.TruePeakDb());
  } else {
    std::snprintf(text, sizeof text, "loudness: silence");
  }
  std::string line = text;
  if (loudness.nonFinite > 0) line += ", " + NonFiniteText(loudness.nonFinite);
  return line;
}

}  // namespace

int UsageError(const std::string& error) {
  const Streams streams = Streams::Standard();
  streams.Err("velmora-cli: " + error);
  streams.Err("Try 'velmora-cli --help' for the options.");
  return kExitUsage;
}

void InstallInterruptHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  // Closing the terminal (SIGHUP) cancels like Ctrl+C and SIGTERM.
  for (const int sig : kInterruptSignals) ::sigaction(sig, &action, nullptr);
}

int RunInfo(const CliOptions& options) {
  const Streams streams = Streams::Standard();
  const auto sources = CollectSources(options, streams);
  if (!sources) return kExitUsage;
  int status = sources->problems ? kExitSomeFailed : kExitOk;
  AiffReader reader;
  for (const std::string& path : sources->files) {
    if (!reader.Open(path)) {
      streams.Err(path + ": " + reader.ErrorText());
      status = kExitSomeFailed;
      continue;
    }
    // The lines of one file are printed together, once all of them could be made.
    std::vector<std::string> lines;
    try {
      const SourceInfo& info = reader.Info();
      const std::string code(info.compressionCode.begin(), info.compressionCode.end());
      char details[160];
      std::snprintf(details, sizeof details, ": %d channel(s), %d Hz, %llu frames, %s, %d bits, compression '",
                    info.channels, info.sampleRate, static_cast<unsigned long long>(info.frames),
                    Duration(info.frames, info.sampleRate).c_str(), info.bitsPerSample);
      lines.push_back(path);
      lines.back().append(details).append(code).append("'");
      const SourceTags tags = reader.Tags();
      for (const std::string& line : DescribeTags(tags)) lines.push_back("  " + line);
      for (const TagNote& note : tags.notes) lines.push_back("  note: " + TagNoteText(note));
      const SamplerInfo sampler = reader.Sampler();
      for (const std::string& line : DescribeSampler(sampler)) lines.push_back("  " + line);
      for (const TagNote& note : sampler.notes) lines.push_back("  note: " + TagNoteText(note));
      if (options.loudness && !LoudnessMeter::MeasurableRate(reader.Info().sampleRate)) {
        lines.push_back("  loudness: not measured at " + std::to_string(reader.Info().sampleRate) + " Hz");
      } else if (options.loudness) {
        LoudnessMeter meter;
        if (!MeasureSource(reader, meter)) {
          streams.Err(path + ": cannot measure the loudness: " +
                      (reader.Error() != AiffError::None ? reader.ErrorText() : std::string("unsupported format")));
          status = kExitSomeFailed;
          reader.Close();
          continue;
        }
        lines.push_back("  " + LoudnessLine(meter.Result()));
      }
    } catch (const std::bad_alloc&) {
      reader.Close();
      std::vector<std::string>().swap(lines);
      streams.Err(path + ": out of memory");
      status = kExitSomeFailed;
      continue;
    }
    for (const std::string& line : lines) streams.Out(line);
    reader.Close();
  }
  return status;
}

int RunConvert(const CliOptions& options) {
  Streams streams = Streams::Standard();
  ConverterSettings settings;
  QtSettingsStore store;
  std::vector<SettingsCorrection> corrections;
  LoadSettings(settings, store, &corrections);
  std::string error;
  if (!ApplyOverrides(options, settings, error)) return UsageError(error);
  ReportCorrections(corrections);
  auto sources = CollectSources(options, streams);
  if (!sources) return kExitUsage;
  if (sources->files.empty()) {
    std::fprintf(stderr, "velmora-cli: no AIFF files found\n");
    return kExitSomeFailed;
  }
  // The paths move into the batch: a list of a million is not held twice.
  std::vector<BatchItem> items;
  items.reserve(sources->files.size());
  for (std::size_t i = 0; i < sources->files.size(); ++i) {
    items.emplace_back(std::move(sources->files[i]), std::nullopt, sources->roots[sources->rootOf[i]]);
  }
  std::vector<std::string>().swap(sources->files);
  // The report is appended to, never truncated: a re-run adds its lines after the earlier ones.
  const bool reportToStdout = options.report == "-";
  int reportFd = -1;
  if (reportToStdout) {
    reportFd = STDOUT_FILENO;
    // Standard output holds only the report; the terminal's lines go to stderr.
    streams.out = streams.err;
    streams.outIsTerminal = streams.errIsTerminal;
  } else if (options.report) {
    reportFd = ::open(options.report->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (reportFd < 0) return UsageError("--report: cannot write " + *options.report + ": " + SystemErrorText(errno));
  }

  // The command line writes where it was told or nowhere: no fallback folders.
  ConversionOptions run = OptionsFromSettings(settings);
  run.wav.target = ChooseWavTarget(options, run.wav.target);
  ConversionJob job(run, OutputFolders{std::nullopt, std::nullopt, false});
  job.SetSkipExisting(options.skipExisting);
  g_job = &job;
  const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const bool showProgress = !options.quiet && streams.errIsTerminal;
  TerminalObserver observer(streams, showProgress);
  ReportObserver report(observer, reportFd, items);
  {
    // The sources' sound is read while the batch runs: reading a long list first would keep the
    // first file waiting. Until it is known the bar counts files.
    std::jthread scan;
    if (showProgress) {
      scan = std::jthread([&](const std::stop_token& stop) {
        std::vector<double> seconds = SoundSeconds(items, stop);
        if (!stop.stop_requested()) observer.SetSoundSeconds(std::move(seconds));
      });
    }
    if (reportFd >= 0) job.RunBatch(items, options.format, report, jobs);
    else job.RunBatch(items, options.format, observer, jobs);
  }
  g_job = nullptr;
  int reportError = report.Error();
  if (reportFd >= 0 && !reportToStdout && ::close(reportFd) != 0 && reportError == 0) reportError = errno;
  const bool reportFailed = reportError != 0;
  if (reportFailed) streams.Err("velmora-cli: cannot write the report " + *options.report + ": " + SystemErrorText(reportError));

  if (job.Cancelled()) return kExitInterrupted;
  return observer.Problems() > 0 || sources->problems || reportFailed ? kExitSomeFailed : kExitOk;
}

}  // namespace velmora::cli
