#include <telvora/platform/Clock.hpp>

#include <cmath>
#include <limits>

namespace telvora {
namespace {

using Rep = ClockDuration::rep;

// A count of nanoseconds held in a double, clamped to what ClockDuration holds.
ClockDuration clampedNanoseconds(double ns) {
  constexpr double kMax = static_cast<double>(std::numeric_limits<Rep>::max());
  if (!(ns > 0)) return ClockDuration::zero();
  if (ns >= kMax) return ClockDuration::max();
  return ClockDuration(static_cast<Rep>(ns));
}

ClockDuration elapsedSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<ClockDuration>(std::chrono::steady_clock::now() - start);
}

}  // namespace

SteadyClock::SteadyClock() : start_(std::chrono::steady_clock::now()) {}

ClockDuration SteadyClock::now() const {
  return elapsedSince(start_);
}

std::optional<std::chrono::nanoseconds> SteadyClock::realDelayUntil(ClockDuration target) const {
  const ClockDuration current = now();
  if (target <= current) return std::chrono::nanoseconds::zero();
  return target - current;
}

ScaledClock::ScaledClock(double factor)
    : factor_(std::isfinite(factor) && factor > 0 ? factor : 1.0),
      start_(std::chrono::steady_clock::now()) {}

ClockDuration ScaledClock::now() const {
  return clampedNanoseconds(static_cast<double>(elapsedSince(start_).count()) * factor_);
}

std::optional<std::chrono::nanoseconds> ScaledClock::realDelayUntil(ClockDuration target) const {
  const ClockDuration current = now();
  if (target <= current) return std::chrono::nanoseconds::zero();
  // Rounded up, so a sleep of this length never wakes just short of the target.
  const double ahead = static_cast<double>(target.count()) - static_cast<double>(current.count());
  return clampedNanoseconds(std::ceil(ahead / factor_));
}

ManualClock::ManualClock(ClockDuration start) : now_(start.count()) {}

ClockDuration ManualClock::now() const {
  return ClockDuration(now_.load());
}

std::optional<std::chrono::nanoseconds> ManualClock::realDelayUntil(ClockDuration) const {
  return std::nullopt;
}

void ManualClock::advance(ClockDuration by) {
  if (by <= ClockDuration::zero()) return;
  Rep current = now_.load();
  Rep next;
  do {
    next = current > std::numeric_limits<Rep>::max() - by.count() ? std::numeric_limits<Rep>::max()
                                                                  : current + by.count();
  } while (!now_.compare_exchange_weak(current, next));
}

void ManualClock::set(ClockDuration to) {
  Rep current = now_.load();
  while (to.count() > current && !now_.compare_exchange_weak(current, to.count())) {
  }
}

}  // namespace telvora
