#include "cli/cli_commands.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "audio/aiff_reader.h"
#include "cli/terminal_observer.h"
#include "convert/conversion_job.h"
#include "filelist/folder_tree.h"
#include "platform/file_system.h"
#include "platform/settings_store.h"
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
bool ReadPathList(const std::string& file, bool nulSeparated, std::vector<std::string>& paths) {
  std::ifstream stream;
  if (file != "-") {
    stream.open(file, std::ios::binary);
    if (!stream) return false;
  }
  std::istream& in = file == "-" ? std::cin : stream;
  const char separator = nulSeparated ? '\0' : '\n';
  for (std::string path; std::getline(in, path, separator);) {
    if (!nulSeparated && !path.empty() && path.back() == '\r') path.pop_back();
    if (!path.empty()) paths.push_back(path);
  }
  return !in.bad();
}

// The sources a run works on: folders are searched like Add Folder, files are taken as they
// are, and a file reached twice is taken once. Unreadable folders are reported on stderr.
struct Sources {
  std::vector<std::string> files;
  bool problems = false;
};

std::optional<Sources> CollectSources(const CliOptions& options) {
  std::vector<std::string> paths = options.paths;
  if (options.filesFrom && !ReadPathList(*options.filesFrom, options.nulSeparated, paths)) {
    std::fprintf(stderr, "velmora-cli: cannot read %s: %s\n", options.filesFrom->c_str(), std::strerror(errno));
    return std::nullopt;
  }
  Sources sources;
  for (const std::string& path : paths) {
    if (!IsDirectory(path)) {
      sources.files.push_back(path);
      continue;
    }
    std::vector<std::string> unreadable;
    const std::size_t before = sources.files.size();
    CollectFolderTree(path, sources.files, &unreadable);
    for (const std::string& folder : unreadable) {
      std::fprintf(stderr, "velmora-cli: cannot read folder %s\n", folder.c_str());
      sources.problems = true;
    }
    if (sources.files.size() == before && unreadable.empty()) {
      std::fprintf(stderr, "velmora-cli: no AIFF files in %s\n", path.c_str());
      sources.problems = true;
    }
  }
  RemoveDuplicateSources(sources.files);
  return sources;
}

ConversionJob* g_job = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_job) g_job->Cancel();
  // A second signal ends the program at once.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGHUP, SIG_DFL);
}

void HandleInterrupts(ConversionJob* job) {
  g_job = job;
  const auto handler = job ? OnInterrupt : SIG_DFL;
  // Closing the terminal (SIGHUP) cancels like Ctrl+C and SIGTERM.
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, handler);
}

}  // namespace

int RunInfo(const CliOptions& options) {
  const auto sources = CollectSources(options);
  if (!sources) return kExitUsage;
  int status = sources->problems ? kExitSomeFailed : kExitOk;
  AiffReader reader;
  for (const std::string& path : sources->files) {
    if (!reader.Open(path)) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), reader.ErrorText().c_str());
      status = kExitSomeFailed;
      continue;
    }
    // The lines of one file are printed together, once all of them could be made.
    std::string lines;
    try {
      const SourceInfo& info = reader.Info();
      const std::string code(info.compressionCode.begin(), info.compressionCode.end());
      char header[256];
      std::snprintf(header, sizeof header, ": %d channel(s), %d Hz, %llu frames, %s, %d bits, compression '%s'\n",
                    info.channels, info.sampleRate, static_cast<unsigned long long>(info.frames),
                    Duration(info.frames, info.sampleRate).c_str(), info.bitsPerSample, code.c_str());
      lines = path + header;
      const SourceTags tags = reader.Tags();
      for (const std::string& line : DescribeTags(tags)) lines += "  " + line + "\n";
      for (const std::string& note : tags.notes) lines += "  note: " + note + "\n";
    } catch (const std::bad_alloc&) {
      reader.Close();
      lines.clear();
      lines.shrink_to_fit();
      std::fprintf(stderr, "%s: out of memory\n", path.c_str());
      status = kExitSomeFailed;
      continue;
    }
    std::fputs(lines.c_str(), stdout);
    reader.Close();
  }
  return status;
}

int RunConvert(const CliOptions& options) {
  ConverterSettings settings;
  QtSettingsStore store;
  LoadSettings(settings, store);
  std::string error;
  if (!ApplyOverrides(options, settings, error)) {
    std::fprintf(stderr, "velmora-cli: %s\n", error.c_str());
    return kExitUsage;
  }
  const auto sources = CollectSources(options);
  if (!sources) return kExitUsage;
  if (sources->files.empty()) {
    std::fprintf(stderr, "velmora-cli: no AIFF files found\n");
    return kExitSomeFailed;
  }
  std::vector<BatchItem> items;
  for (const std::string& source : sources->files) items.push_back({source, {}});

  // The command line writes where it was told or nowhere: no fallback folders.
  ConversionJob job(settings, OutputFolders{std::nullopt, std::nullopt, false});
  job.SetWavTarget(ChooseWavTarget(options, settings));
  job.SetSkipExisting(options.skipExisting);
  HandleInterrupts(&job);
  const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TerminalObserver observer(stdout, stderr, !options.quiet && isatty(STDERR_FILENO));
  job.RunBatch(items, options.format, observer, jobs);
  HandleInterrupts(nullptr);

  if (job.Cancelled()) return kExitInterrupted;
  return observer.Problems() > 0 || sources->problems ? kExitSomeFailed : kExitOk;
}

}  // namespace velmora::cli
