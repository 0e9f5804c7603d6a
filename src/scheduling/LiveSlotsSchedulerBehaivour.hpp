#pragma once

#include <telvora/StreamConfig.hpp>

#include "scheduling/TelvoraSchedulerBehaivour.hpp"

#include <optional>
#include <utility>

namespace telvora {

// Places the mid-rolls of a live stream at the slots of the stream
// configuration (breaking-ads mode `slots`, live). Slot times are seconds on
// a counted time line: played content time, counted like the interval
// behaviour does (see countPlayedTime()), without the breaks themselves.
//
// Only the first remaining slot is ever announced: `wait` while it is 15
// seconds or more away, `prepare` in the last 15 seconds, `start` once the
// count reaches it, repeated until adFinished(). adFinished() then drops that
// slot and resumes the count from its time. Once the list is used up every
// tick gets a `wait` 999999 seconds away. Without a slot list, with an empty
// one, or with a first slot that has no time, ticks get no answer.
//
// ignoreEvents() suspends it for a pre-roll; adFinished() resumes it. A
// pre-roll's adFinished() before any slot has started restarts the count at
// 0 and drops nothing; after the first slot break, every adFinished() drops
// one slot, so the scheduler must call it once per break shown.
// Main queue only.
class LiveSlotsSchedulerBehaivour final : public TelvoraSchedulerBehaivour {
 public:
  LiveSlotsSchedulerBehaivour(StreamConfig streamConfig, TimedEventHandler timedEventOccured);

  const TimedEventHandler& timedEventOccured() const override { return timedEventOccured_; }
  void setTimedEventOccured(TimedEventHandler timedEventOccured) override {
    timedEventOccured_ = std::move(timedEventOccured);
  }
  bool shouldIgnoreEvents() const override { return shouldIgnoreEvents_; }
  void setShouldIgnoreEvents(bool shouldIgnoreEvents) override {
    shouldIgnoreEvents_ = shouldIgnoreEvents;
  }

  void calculeteTimings(const PlaybackProgress& playbackProgress) override;
  void adFinished() override;
  void ignoreEvents() override;

  // The behaviour's own copy; its slot list shrinks from the front.
  const StreamConfig& streamConfig() const { return streamConfig_; }
  const std::optional<double>& oldPosition() const { return oldPosition_; }
  // The time of the slot whose break was started last.
  double previusCuePointStart() const { return previusCuePointStart_; }
  // Played content time on the slot time line.
  double timer() const { return timer_; }
  // Set by the first `start`; never cleared.
  bool adStarted() const { return adStarted_; }
  // Cleared once the slot list has been used up.
  bool isSlotsEnabled() const { return isSlotsEnabled_; }

 private:
  TimedEventHandler timedEventOccured_;
  StreamConfig streamConfig_;
  std::optional<double> oldPosition_;
  double previusCuePointStart_ = 0;
  double timer_ = 0;
  bool adStarted_ = false;
  bool isSlotsEnabled_ = true;
  bool shouldIgnoreEvents_ = false;
};

}  // namespace telvora
