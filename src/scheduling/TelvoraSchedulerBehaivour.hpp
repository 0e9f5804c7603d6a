#pragma once

#include "scheduling/PlaybackProgress.hpp"
#include "scheduling/TimedEvent.hpp"

#include <functional>

namespace telvora {

// Receives every event a behaviour produces; in practice the scheduler's own
// event handler.
using TimedEventHandler = std::function<void(const TimedEvent&)>;

// The exchangeable strategy that decides, tick by tick, where the next ad
// break stands. The session creates one from the stream configuration's
// breaking-ads mode and gives it to the scheduler, which holds it by
// shared_ptr and only ever drives it through this interface:
//
// - calculeteTimings() once per playback tick. The behaviour answers through
//   timedEventOccured() synchronously, before the call returns, and the
//   scheduler handles the event completely inside that call. The handler may
//   call back into the behaviour (adFinished(), for one), so a behaviour
//   settles its own state before it sends.
// - ignoreEvents() when a pre-roll begins.
// - adFinished() after every break has been shown, a pre-roll included, so it
//   also comes when the behaviour never sent a `start`.
//
// Everything runs on the main queue; behaviours have no locks. A new
// behaviour replaces the old one; nothing carries over between them.
class TelvoraSchedulerBehaivour {
 public:
  TelvoraSchedulerBehaivour() = default;
  TelvoraSchedulerBehaivour(const TelvoraSchedulerBehaivour&) = delete;
  TelvoraSchedulerBehaivour& operator=(const TelvoraSchedulerBehaivour&) = delete;
  virtual ~TelvoraSchedulerBehaivour() = default;

  virtual const TimedEventHandler& timedEventOccured() const = 0;
  virtual void setTimedEventOccured(TimedEventHandler timedEventOccured) = 0;

  // Behaviours that suspend themselves during a pre-roll read this; the
  // others only keep it.
  virtual bool shouldIgnoreEvents() const = 0;
  virtual void setShouldIgnoreEvents(bool shouldIgnoreEvents) = 0;

  virtual void calculeteTimings(const PlaybackProgress& playbackProgress) = 0;
  virtual void adFinished() = 0;
  virtual void ignoreEvents() = 0;
};

// Hands `event` to `handler`. A behaviour that has no handler yet drops its
// events instead of failing.
inline void sendTimedEvent(const TimedEventHandler& handler, const TimedEvent& event) {
  if (handler) handler(event);
}

}  // namespace telvora
