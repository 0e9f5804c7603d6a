#pragma once

#include <optional>

namespace telvora {

// Where a bridged player is in what it plays: a time and a duration in
// seconds, or not ready yet.
class PlayerProgress {
 public:
  struct Time {
    double currentTime = 0;
    double duration = 0;
    friend bool operator==(const Time&, const Time&) = default;
  };

  static PlayerProgress notReady() { return PlayerProgress(); }
  static PlayerProgress time(double currentTime, double duration) {
    return PlayerProgress(Time{currentTime, duration});
  }

  bool isReady() const { return time_.has_value(); }
  // The time, or nullptr when not ready.
  const Time* asTime() const { return time_ ? &*time_ : nullptr; }

  friend bool operator==(const PlayerProgress&, const PlayerProgress&) = default;

 private:
  PlayerProgress() = default;
  explicit PlayerProgress(Time time) : time_(time) {}
  std::optional<Time> time_;
};

}  // namespace telvora
