#pragma once

#include <telvora/platform/MediaTime.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace telvora {

class RunLoop;

// A range of media time in seconds.
struct TimeRange {
  double start = 0;
  double duration = 0;
};

// The item a content player is playing.
class PlayerItem {
 public:
  virtual ~PlayerItem() = default;

  // The seekable ranges in time order; the last one ends at the newest
  // playable point (for a live stream, the end of its window).
  virtual std::vector<TimeRange> seekableTimeRanges() const = 0;
  // The playhead in seconds. Not a finite number while the time is invalid.
  virtual double currentTime() const = 0;
};

// The host app's content player, as the library sees it. The library never
// creates or configures it: it reads its position, registers periodic
// observers, watches its rate, pauses, resumes and mutes it.
//
// A host with a real player implements this interface over it. Every call is
// made on the main queue, and every callback below is delivered there.
class ContentPlayer {
 public:
  // Opaque registration handles.
  struct TimeObserverToken {
    std::uint64_t id = 0;
    friend bool operator==(const TimeObserverToken&, const TimeObserverToken&) = default;
  };
  struct RateObserverToken {
    std::uint64_t id = 0;
    friend bool operator==(const RateObserverToken&, const RateObserverToken&) = default;
  };

  using TimeObserverBlock = std::function<void(double time)>;
  using RateObserverBlock = std::function<void(float oldRate, float newRate)>;

  // Posted through NotificationCenter::defaultCenter() when an item fails
  // during playback, with the item as the object and the error's
  // description (a std::string) under failedToPlayToEndTimeErrorKey.
  static constexpr std::string_view failedToPlayToEndTimeNotification =
      "TelvoraPlayerItemFailedToPlayToEndTime";
  static constexpr std::string_view failedToPlayToEndTimeErrorKey =
      "TelvoraPlayerItemFailedToPlayToEndTimeErrorKey";

  virtual ~ContentPlayer() = default;

  // Calls `block` about every `interval` on `queue` while the observer is
  // registered, with the item's current time.
  virtual TimeObserverToken addPeriodicTimeObserver(MediaTime interval, RunLoop& queue,
                                                    TimeObserverBlock block) = 0;
  // After this the block of `token` is not called again. An unknown token is
  // ignored.
  virtual void removeTimeObserver(TimeObserverToken token) = 0;

  // The item being played; null before one is set.
  virtual std::shared_ptr<PlayerItem> currentItem() const = 0;

  virtual void pause() = 0;
  virtual void play() = 0;

  // 0 to 1.
  virtual float volume() const = 0;
  virtual void setVolume(float volume) = 0;

  // 0 when paused, 1 when playing at normal speed.
  virtual float rate() const = 0;
  // Calls `block` on every change of the rate, with the old and new values.
  virtual RateObserverToken addRateObserver(RateObserverBlock block) = 0;
  virtual void removeRateObserver(RateObserverToken token) = 0;
};

}  // namespace telvora
