#pragma once

#include <optional>
#include <string>

namespace velmora {

// How long a batch has run, how long it will still take and how fast it goes. Progress is
// measured in seconds of sound, not in files, so that one long file among many short ones
// weighs what it costs. The speed is the sound done so far over the time taken so far: an
// average over the whole run settles quickly and does not swing with each file's start-up
// cost. Nothing is guessed before kSettleSeconds of work.
//
// The caller supplies the clock (wall seconds since the batch started), so that the rule can be
// driven without waiting and the estimate costs nothing when it is not shown.
class ProgressEstimate {
 public:
  static constexpr double kSettleSeconds = 3.0;

  // `soundDone` of `totalSound` seconds of sound were converted `elapsed` wall seconds after the
  // start. The total shrinks when a file turns out to need no work (skipped, failed).
  void Update(double elapsed, double soundDone, double totalSound);

  double Elapsed() const { return m_elapsed; }
  // Seconds of sound per wall second; empty until the estimate has settled.
  std::optional<double> Speed() const;
  // Wall seconds still to go; empty until the estimate has settled.
  std::optional<double> Remaining() const;
  // "0:42 elapsed · about 1:10 left · 38× real time", with "—" for what is not known yet.
  std::string Text() const;

 private:
  double m_totalSound = 0;
  double m_elapsed = 0;
  double m_soundDone = 0;
};

// "0:07", "1:10", "1:02:03": whole seconds, hours only when there are some.
std::string ClockText(double seconds);

}  // namespace velmora
