#pragma once

#include <atomic>
#include <string>

#include "convert/loudness_meter.h"

namespace velmora {

// Measures an MP3 file as a player hears it: decoded to floats by libmpg123, which trims the
// encoder's delay and padding as the information frame gives them, so nothing clipped at full
// scale and nothing of the encoder's own silence is measured. The meter is started for the
// stream's rate and channels and finished. False when the file cannot be decoded, the meter
// cannot take its format, or `cancel` was set.
bool MeasureMp3File(const std::string& path, LoudnessMeter& meter, const std::atomic<bool>* cancel = nullptr);

}  // namespace velmora
