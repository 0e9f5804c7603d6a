#pragma once

#include <telvora/StreamConfig.hpp>

#include "scheduling/TelvoraSchedulerBehaivour.hpp"

#include <optional>
#include <utility>

namespace telvora {

// Places a mid-roll after every `midrollTime` seconds of content actually
// played, for live and on-demand streams alike (breaking-ads mode
// `interval`). It counts played time itself (see countPlayedTime()), so a
// seek moves no break.
//
// Every tick is answered with one event: `wait` while the break is 15 seconds
// or more away, `prepare` in the last 15 seconds, `start` once the count has
// reached the interval, repeated on every tick until adFinished() restarts
// the count from zero. Without a `midrollTime` it stays silent. The break
// itself takes `maxMidrollTime` (0 when absent), `midrollPods` and the
// mid-roll ad tag.
//
// ignoreEvents() suspends it for a pre-roll: ticks are then neither counted
// nor answered until adFinished(). Main queue only.
class IntervalSchedulerBehaivour final : public TelvoraSchedulerBehaivour {
 public:
  IntervalSchedulerBehaivour(StreamConfig streamConfig, TimedEventHandler timedEventOccured);

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

  // Seconds of content counted since creation or since the last break.
  double timer() const { return timer_; }
  // The position of the previous counted tick; absent before the first one.
  const std::optional<double>& oldPosition() const { return oldPosition_; }
  const StreamConfig& streamConfig() const { return streamConfig_; }

 private:
  TimedEventHandler timedEventOccured_;
  double timer_ = 0;
  std::optional<double> oldPosition_;
  const StreamConfig streamConfig_;
  bool shouldIgnoreEvents_ = false;
};

}  // namespace telvora
