#pragma once

#include <telvora/StreamConfig.hpp>

#include "scheduling/TelvoraSchedulerBehaivour.hpp"

#include <cstdint>
#include <optional>
#include <utility>

namespace telvora {

// Places the mid-rolls of on-demand content at the slots of the stream
// configuration (breaking-ads mode `slots`, not live). A slot's time is a
// content position in whole seconds; its break starts when a tick's position,
// rounded to the whole second, is that time. Nothing is counted: seeks move
// the breaks with the content.
//
// Per tick, the first slot in list order that is neither behind the playhead
// nor the one just started decides: `start` on its second, `prepare` 1 to 14
// seconds before it, `wait` 15 seconds or more before it; with none left
// ahead, `wait` 100000 seconds away. The list is expected in ascending time.
// A slot without a time stops the walk: that tick gets no answer. Slots stay
// in the list; a slot is not started twice while the playhead stays on its
// second or the next one, and starts again once the playhead comes back to it
// from elsewhere. A slot whose second no tick hits (a seek across it) is not
// caught up.
//
// Without a slot list ticks get no answer; so does a tick whose position has
// no whole second (not finite, beyond 64 bits), which also changes nothing.
// Not suspended by a pre-roll: ignoreEvents() and adFinished() do nothing.
// Main queue only.
class WODSlotsSchedulerBehaivour final : public TelvoraSchedulerBehaivour {
 public:
  WODSlotsSchedulerBehaivour(StreamConfig streamConfig, TimedEventHandler timedEventOccured);

  const TimedEventHandler& timedEventOccured() const override { return timedEventOccured_; }
  void setTimedEventOccured(TimedEventHandler timedEventOccured) override {
    timedEventOccured_ = std::move(timedEventOccured);
  }
  bool shouldIgnoreEvents() const override { return shouldIgnoreEvents_; }
  void setShouldIgnoreEvents(bool shouldIgnoreEvents) override {
    shouldIgnoreEvents_ = shouldIgnoreEvents;
  }

  void calculeteTimings(const PlaybackProgress& playbackProgress) override;
  void adFinished() override {}
  void ignoreEvents() override {}

  // The latest tick's position, rounded to the whole second.
  std::int64_t timer() const { return timer_; }
  const StreamConfig& streamConfig() const { return streamConfig_; }
  // The time of the slot started last, until the playhead leaves its second.
  const std::optional<std::int64_t>& lastSlotTime() const { return lastSlotTime_; }

 private:
  TimedEventHandler timedEventOccured_;
  std::int64_t timer_ = 0;
  const StreamConfig streamConfig_;
  bool shouldIgnoreEvents_ = false;
  std::optional<std::int64_t> lastSlotTime_;
};

}  // namespace telvora
