#include "cli/cli_commands.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
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

std::string Duration(std::int64_t frames, std::int32_t rate) {
  const std::int64_t seconds = frames / (rate > 0 ? rate : 1);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

// Folders given on the command line are searched like Add Folder; files are taken as they are.
std::vector<std::string> CollectSources(const std::vector<std::string>& paths) {
  std::vector<std::string> sources;
  for (const std::string& path : paths) {
    if (IsDirectory(path)) CollectFolderTree(path, sources);
    else sources.push_back(path);
  }
  return sources;
}

ConversionJob* g_job = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_job) g_job->Cancel();
  // A second Ctrl+C ends the program at once.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

}  // namespace

int RunInfo(const CliOptions& options) {
  int status = kExitOk;
  AiffReader reader;
  for (const std::string& path : CollectSources(options.paths)) {
    if (!reader.Open(path)) {
      std::printf("%s: %s\n", path.c_str(), reader.ErrorText().c_str());
      status = kExitSomeFailed;
      continue;
    }
    const SourceInfo& info = reader.Info();
    const std::string code(info.compressionCode.begin(), info.compressionCode.end());
    std::printf("%s: %d channel(s), %d Hz, %d frames, %s, %d bits, compression '%s'\n", path.c_str(),
                info.channels, info.sampleRate, info.frames, Duration(info.frames, info.sampleRate).c_str(),
                info.bitsPerSample, code.c_str());
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
  std::vector<BatchItem> items;
  for (std::string& source : CollectSources(options.paths)) items.push_back({std::move(source), {}, {}, {}});
  if (items.empty()) {
    std::fprintf(stderr, "velmora-cli: no AIFF files found\n");
    return kExitSomeFailed;
  }

  const OutputFolders folders = PlatformOutputFolders();
  ConversionJob job(settings, folders);
  g_job = &job;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TerminalObserver observer(stdout, stderr, !options.quiet && isatty(STDERR_FILENO));
  job.RunBatch(items, options.format, observer, jobs);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  g_job = nullptr;

  if (job.Cancelled()) return kExitInterrupted;
  return observer.Failed() > 0 ? kExitSomeFailed : kExitOk;
}

}  // namespace velmora::cli
