#include "scheduling/IntervalSchedulerBehaivour.hpp"

#include "scheduling/BreakEvents.hpp"
#include "scheduling/PlayedTime.hpp"

#include <utility>

namespace telvora {

IntervalSchedulerBehaivour::IntervalSchedulerBehaivour(StreamConfig streamConfig,
                                                       TimedEventHandler timedEventOccured)
    : timedEventOccured_(std::move(timedEventOccured)), streamConfig_(std::move(streamConfig)) {}

void IntervalSchedulerBehaivour::calculeteTimings(const PlaybackProgress& playbackProgress) {
  if (shouldIgnoreEvents_) return;
  if (!streamConfig_.midrollTime) return;
  const auto interval = static_cast<double>(*streamConfig_.midrollTime);

  countPlayedTime(playbackProgress, oldPosition_, timer_);
  const double remaining = interval - timer_;

  const auto breakEvent = [&](TimedEvent::EventType type, double timeToNextAdd) {
    return TimedEvent(type, static_cast<double>(streamConfig_.maxMidrollTime.value_or(0)),
                      streamConfig_.midrollPods, midrollAdTag(streamConfig_), timeToNextAdd);
  };
  if (!(remaining > 0)) {
    sendTimedEvent(timedEventOccured_, breakEvent(TimedEvent::EventType::start, 0));
  } else if (remaining < 15) {
    sendTimedEvent(timedEventOccured_, breakEvent(TimedEvent::EventType::prepare, remaining));
  } else {
    sendTimedEvent(timedEventOccured_, waitEvent(remaining));
  }
}

void IntervalSchedulerBehaivour::adFinished() {
  timer_ = 0;
  oldPosition_.reset();
  shouldIgnoreEvents_ = false;
}

void IntervalSchedulerBehaivour::ignoreEvents() {
  shouldIgnoreEvents_ = true;
}

}  // namespace telvora
