#include "scheduling/LiveSlotsSchedulerBehaivour.hpp"

#include "scheduling/BreakEvents.hpp"
#include "scheduling/PlayedTime.hpp"

namespace telvora {

namespace {
constexpr double kSlotsUsedUp = 999999;
}

LiveSlotsSchedulerBehaivour::LiveSlotsSchedulerBehaivour(StreamConfig streamConfig,
                                                         TimedEventHandler timedEventOccured)
    : timedEventOccured_(std::move(timedEventOccured)), streamConfig_(std::move(streamConfig)) {}

void LiveSlotsSchedulerBehaivour::calculeteTimings(const PlaybackProgress& playbackProgress) {
  if (shouldIgnoreEvents_) return;
  if (!isSlotsEnabled_) {
    sendTimedEvent(timedEventOccured_, waitEvent(kSlotsUsedUp));
    return;
  }
  if (!streamConfig_.slots) return;

  countPlayedTime(playbackProgress, oldPosition_, timer_);

  if (streamConfig_.slots->empty()) return;
  const SlotConfig& slot = streamConfig_.slots->front();
  if (!slot.time) return;
  const auto time = static_cast<double>(*slot.time);
  const double d = time - timer_;

  if (d >= 15) {
    sendTimedEvent(timedEventOccured_, waitEvent(d));
  } else if (d > 0) {
    sendTimedEvent(timedEventOccured_,
                   slotBreakEvent(TimedEvent::EventType::prepare, slot, streamConfig_, d));
  } else {
    TimedEvent event = slotBreakEvent(TimedEvent::EventType::start, slot, streamConfig_, 0);
    // Before sending: the handler may report the break shown at once, and
    // adFinished() must then drop this slot.
    adStarted_ = true;
    previusCuePointStart_ = time;
    sendTimedEvent(timedEventOccured_, event);
  }
}

void LiveSlotsSchedulerBehaivour::adFinished() {
  shouldIgnoreEvents_ = false;
  timer_ = previusCuePointStart_;
  oldPosition_.reset();
  auto& slots = streamConfig_.slots;
  if (adStarted_ && slots && !slots->empty()) slots->erase(slots->begin());
  if (slots && slots->empty()) isSlotsEnabled_ = false;
}

void LiveSlotsSchedulerBehaivour::ignoreEvents() {
  shouldIgnoreEvents_ = true;
}

}  // namespace telvora
