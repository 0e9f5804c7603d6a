#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
#include <optional>

namespace telvora {

// A point on a clock's time axis, counted from that clock's own start.
using ClockDuration = std::chrono::nanoseconds;

// Seconds as a double, the unit the rest of the library speaks. Rounds to the
// nearest nanosecond (so 0.7 s is 700000000 ns, not one less); values beyond
// what a ClockDuration holds saturate; NaN is zero.
inline ClockDuration fromSeconds(double seconds) {
  constexpr double kLimit = 9.2e9;  // just under ClockDuration::max() in seconds
  if (std::isnan(seconds)) return ClockDuration::zero();
  if (seconds >= kLimit) return ClockDuration::max();
  if (seconds <= -kLimit) return ClockDuration::min();
  return std::chrono::round<ClockDuration>(std::chrono::duration<double>(seconds));
}
inline double toSeconds(ClockDuration d) {
  return std::chrono::duration<double>(d).count();
}

// The time source of a run loop. Every timer, periodic observer and "wall
// clock" reading in the library reads the clock of its run loop, so a test can
// drive time by hand and the demo can run faster than real time.
//
// now() may be called from any thread.
class Clock {
 public:
  virtual ~Clock() = default;

  virtual ClockDuration now() const = 0;

  // The real time to sleep until the clock reads `target` (zero when it is
  // already there), or nullopt for a clock that only moves when told to.
  virtual std::optional<std::chrono::nanoseconds> realDelayUntil(ClockDuration target) const = 0;
};

// Real monotonic time, starting at zero when the clock is made. The default.
class SteadyClock final : public Clock {
 public:
  SteadyClock();
  ClockDuration now() const override;
  std::optional<std::chrono::nanoseconds> realDelayUntil(ClockDuration target) const override;

 private:
  std::chrono::steady_clock::time_point start_;
};

// Real time sped up (or slowed down) by a constant factor: with factor 10,
// ten clock seconds pass every real second. A factor that is not a finite
// number above zero is taken as 1.
class ScaledClock final : public Clock {
 public:
  explicit ScaledClock(double factor);
  double factor() const { return factor_; }
  ClockDuration now() const override;
  std::optional<std::chrono::nanoseconds> realDelayUntil(ClockDuration target) const override;

 private:
  double factor_;
  std::chrono::steady_clock::time_point start_;
};

// Time that moves only when a test moves it. Use RunLoop::runFor() to move it
// so that the timers falling due on the way run in order, each at its own
// time; advance() alone just sets the reading.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(ClockDuration start = ClockDuration::zero());
  ClockDuration now() const override;
  std::optional<std::chrono::nanoseconds> realDelayUntil(ClockDuration target) const override;

  void advance(ClockDuration by);
  // Moves the clock to `to`; a time before now() is ignored (the clock never
  // runs backwards).
  void set(ClockDuration to);

 private:
  std::atomic<ClockDuration::rep> now_;
};

}  // namespace telvora
