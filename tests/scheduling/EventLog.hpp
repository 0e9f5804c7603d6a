#pragma once

#include "scheduling/TelvoraSchedulerBehaivour.hpp"
#include "scheduling/TimedEvent.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace telvora {

inline const char* eventTypeName(TimedEvent::EventType type) {
  switch (type) {
    case TimedEvent::EventType::prepare:
      return "prepare";
    case TimedEvent::EventType::start:
      return "start";
    case TimedEvent::EventType::wait:
      return "wait";
    case TimedEvent::EventType::stopAd:
      return "stopAd";
  }
  return "?";
}

inline void PrintTo(const TimedEvent& e, std::ostream* os) {
  const auto field = [os](const char* name, const auto& value) {
    *os << ' ' << name << '=';
    if (value) {
      *os << *value;
    } else {
      *os << '-';
    }
  };
  *os << eventTypeName(e.type());
  field("duration", e.duration());
  field("maxPods", e.maxPods());
  field("vastURL", e.vastURL());
  field("timeToNextAdd", e.timeToNextAdd());
}

namespace test {

// Event builders for expectation tables.
inline TimedEvent wait(double timeToNextAdd) {
  return TimedEvent(TimedEvent::EventType::wait, std::nullopt, std::nullopt, std::nullopt,
                    timeToNextAdd);
}
inline TimedEvent prepare(double duration, std::optional<std::int64_t> maxPods,
                          std::optional<std::string> vastURL, double timeToNextAdd) {
  return TimedEvent(TimedEvent::EventType::prepare, duration, maxPods, std::move(vastURL),
                    timeToNextAdd);
}
inline TimedEvent start(double duration, std::optional<std::int64_t> maxPods,
                        std::optional<std::string> vastURL, double timeToNextAdd) {
  return TimedEvent(TimedEvent::EventType::start, duration, maxPods, std::move(vastURL),
                    timeToNextAdd);
}
inline TimedEvent stopAd() {
  return TimedEvent(TimedEvent::EventType::stopAd);
}

// Collects the events a behaviour sends, for checking tick by tick.
class EventLog {
 public:
  TimedEventHandler handler() {
    return [this](const TimedEvent& event) { events_.push_back(event); };
  }

  // The events sent since the last take().
  std::vector<TimedEvent> take() { return std::exchange(events_, {}); }

 private:
  std::vector<TimedEvent> events_;
};

// Event equality up to rounding in the counted seconds.
inline bool nearlyEqual(const std::optional<double>& a, const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || *a == *b || std::fabs(*a - *b) < 1e-9;
}
inline bool sameEvent(const TimedEvent& a, const TimedEvent& b) {
  return a.type() == b.type() && nearlyEqual(a.duration(), b.duration()) &&
         a.maxPods() == b.maxPods() && a.vastURL() == b.vastURL() &&
         nearlyEqual(a.timeToNextAdd(), b.timeToNextAdd());
}

inline ::testing::AssertionResult sameEvents(const std::vector<TimedEvent>& actual,
                                             const std::vector<TimedEvent>& expected) {
  bool same = actual.size() == expected.size();
  for (std::size_t i = 0; same && i < actual.size(); ++i)
    same = sameEvent(actual[i], expected[i]);
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "sent " << ::testing::PrintToString(actual)
                                       << "\n  expected " << ::testing::PrintToString(expected);
}

// One row of a tick table: a tick and the events it must send, in order.
struct Tick {
  double position;
  double pollingDelay;
  std::vector<TimedEvent> expected;
};

// Feeds the ticks one by one and checks each one's events.
inline void runTicks(TelvoraSchedulerBehaivour& behaviour, EventLog& log,
                     const std::vector<Tick>& ticks) {
  for (const Tick& tick : ticks) {
    behaviour.calculeteTimings(PlaybackProgress(tick.position, tick.pollingDelay));
    EXPECT_TRUE(sameEvents(log.take(), tick.expected))
        << "at position " << tick.position << ", polling delay " << tick.pollingDelay;
  }
}

}  // namespace test
}  // namespace telvora
