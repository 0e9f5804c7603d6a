#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace telvora {

// What a scheduling behaviour tells the scheduler on a playback tick: the next
// break is far away (`wait`), close (`prepare`), due now (`start`), or must end
// now (`stopAd`). The scheduler also builds one itself for a pre-roll.
//
// For `prepare` and `start`, `duration` (seconds the ads should fill),
// `maxPods` (the most ads the break may hold) and `vastURL` (the ad tag to
// fetch) describe the break; `wait` and `stopAd` carry none of them, and the
// scheduler takes any event without a duration as the end of a running
// mid-roll. `timeToNextAdd` is the seconds until the break begins (0 or less
// once it has begun); it is the one field that may be changed after
// construction, the others are fixed by the constructor.
class TimedEvent {
 public:
  enum class EventType { prepare, start, wait, stopAd };

  explicit TimedEvent(EventType type, std::optional<double> duration = std::nullopt,
                      std::optional<std::int64_t> maxPods = std::nullopt,
                      std::optional<std::string> vastURL = std::nullopt,
                      std::optional<double> timeToNextAdd = std::nullopt)
      : type_(type),
        duration_(duration),
        maxPods_(maxPods),
        vastURL_(std::move(vastURL)),
        timeToNextAdd_(timeToNextAdd) {}

  EventType type() const { return type_; }
  const std::optional<double>& duration() const { return duration_; }
  const std::optional<std::int64_t>& maxPods() const { return maxPods_; }
  const std::optional<std::string>& vastURL() const { return vastURL_; }

  const std::optional<double>& timeToNextAdd() const { return timeToNextAdd_; }
  void setTimeToNextAdd(std::optional<double> timeToNextAdd) { timeToNextAdd_ = timeToNextAdd; }

  friend bool operator==(const TimedEvent&, const TimedEvent&) = default;

 private:
  EventType type_;
  std::optional<double> duration_;
  std::optional<std::int64_t> maxPods_;
  std::optional<std::string> vastURL_;
  std::optional<double> timeToNextAdd_;
};

}  // namespace telvora
