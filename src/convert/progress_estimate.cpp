#include "convert/progress_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmora {

void ProgressEstimate::Update(double elapsed, double soundDone, double totalSound) {
  m_elapsed = std::max(elapsed, 0.0);
  m_totalSound = std::max(totalSound, 0.0);
  m_soundDone = std::clamp(soundDone, 0.0, m_totalSound);
}

std::optional<double> ProgressEstimate::Speed() const {
  if (m_elapsed < kSettleSeconds || m_soundDone <= 0) return std::nullopt;
  return m_soundDone / m_elapsed;
}

std::optional<double> ProgressEstimate::Remaining() const {
  const std::optional<double> speed = Speed();
  if (!speed) return std::nullopt;
  return (m_totalSound - m_soundDone) / *speed;
}

std::string ClockText(double seconds) {
  const long long whole = std::llround(std::max(seconds, 0.0));
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

std::string ProgressEstimate::Text() const {
  const std::optional<double> speed = Speed();
  const std::optional<double> remaining = Remaining();
  std::string text = ClockText(m_elapsed) + " elapsed \u00b7 ";
  text += remaining ? "about " + ClockText(*remaining) + " left" : "\u2014 left";
  text += " \u00b7 ";
  if (speed) {
    char figure[32];
    // Below ten times real time a decimal still tells something.
    std::snprintf(figure, sizeof figure, *speed < 10 ? "%.1f" : "%.0f", *speed);
    text += figure;
  } else {
    text += "\u2014";
  }
  return text + "\u00d7 real time";
}

}  // namespace velmora
