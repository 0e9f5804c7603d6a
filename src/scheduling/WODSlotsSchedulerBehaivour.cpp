#include "scheduling/WODSlotsSchedulerBehaivour.hpp"

#include "scheduling/BreakEvents.hpp"
#include "scheduling/WholeSeconds.hpp"

namespace telvora {

namespace {
constexpr double kNothingAhead = 100000;
constexpr std::uint64_t kPrepareWindow = 14;
}  // namespace

WODSlotsSchedulerBehaivour::WODSlotsSchedulerBehaivour(StreamConfig streamConfig,
                                                       TimedEventHandler timedEventOccured)
    : timedEventOccured_(std::move(timedEventOccured)), streamConfig_(std::move(streamConfig)) {}

void WODSlotsSchedulerBehaivour::calculeteTimings(const PlaybackProgress& playbackProgress) {
  if (!streamConfig_.slots) return;
  const std::optional<std::int64_t> second = wholeSeconds(playbackProgress.position());
  if (!second) return;
  timer_ = *second;

  for (const SlotConfig& slot : *streamConfig_.slots) {
    if (!slot.time) return;
    const std::int64_t time = *slot.time;
    if (lastSlotTime_) {
      const std::int64_t started = *lastSlotTime_;
      // The playhead has left the started slot's second (more than one second
      // past it, or before it): the slot may start again from the next tick.
      // Written without `+ 1` so a slot time at the integer limit cannot
      // overflow.
      if ((timer_ > started && timer_ - 1 > started) || timer_ < started) lastSlotTime_.reset();
      if (started == time) continue;
    }
    if (time < timer_) continue;

    if (time == timer_) {
      TimedEvent event = slotBreakEvent(TimedEvent::EventType::start, slot, streamConfig_, 0);
      lastSlotTime_ = time;
      sendTimedEvent(timedEventOccured_, event);
      return;
    }
    // time > timer_, so the true difference is positive and fits unsigned
    // 64 bits, even when the signed subtraction would overflow.
    const std::uint64_t r = static_cast<std::uint64_t>(time) - static_cast<std::uint64_t>(timer_);
    const auto timeToNextAdd = static_cast<double>(r);
    if (r <= kPrepareWindow) {
      sendTimedEvent(timedEventOccured_, slotBreakEvent(TimedEvent::EventType::prepare, slot,
                                                        streamConfig_, timeToNextAdd));
    } else {
      sendTimedEvent(timedEventOccured_, waitEvent(timeToNextAdd));
    }
    return;
  }
  sendTimedEvent(timedEventOccured_, waitEvent(kNothingAhead));
}

}  // namespace telvora
