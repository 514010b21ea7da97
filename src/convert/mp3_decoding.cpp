#include "convert/mp3_decoding.h"

#include <mpg123.h>

#include <memory>
#include <mutex>
#include <vector>

namespace velmora {
namespace {

struct HandleCloser {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};

}  // namespace

bool MeasureMp3File(const std::string& path, LoudnessMeter& meter, const std::atomic<bool>* cancel) {
  // Older versions of the library want this once per process, before any handle.
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  std::unique_ptr<mpg123_handle, HandleCloser> handle(mpg123_new(nullptr, &error));
  if (!handle) return false;
  mpg123_param(handle.get(), MPG123_FLAGS, MPG123_FORCE_FLOAT | MPG123_GAPLESS | MPG123_QUIET, 0.0);
  if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) return false;
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || encoding != MPG123_ENC_FLOAT_32) {
    return false;
  }
  // The format stays as it is for the whole stream.
  mpg123_format_none(handle.get());
  mpg123_format(handle.get(), rate, channels, encoding);
  if (!meter.Start(channels, static_cast<int>(rate), false)) return false;
  constexpr std::size_t kBlockFloats = 16384;
  std::vector<float> block(kBlockFloats);
  const auto frameBytes = sizeof(float) * static_cast<std::size_t>(channels);
  while (true) {
    std::size_t bytes = 0;
    const int result = mpg123_read(handle.get(), block.data(), block.size() * sizeof(float), &bytes);
    if (bytes > 0) meter.AddFloat(block.data(), bytes / frameBytes);
    if (cancel && cancel->load(std::memory_order_relaxed)) return false;
    if (result == MPG123_DONE) break;
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) return false;
  }
  meter.Finish();
  return true;
}

}  // namespace velmora
