#include "scheduling/BreakEvents.hpp"

namespace telvora {

TimedEvent waitEvent(double timeToNextAdd) {
  return TimedEvent(TimedEvent::EventType::wait, std::nullopt, std::nullopt, std::nullopt,
                    timeToNextAdd);
}

std::optional<std::string> midrollAdTag(const StreamConfig& streamConfig) {
  if (!streamConfig.midrollAdConfig) return std::nullopt;
  return streamConfig.midrollAdConfig->vastUrl;
}

std::optional<std::string> slotAdTag(const SlotConfig& slot, const StreamConfig& streamConfig) {
  if (slot.adConfig && slot.adConfig->vastUrl && !slot.adConfig->vastUrl->empty()) {
    return slot.adConfig->vastUrl;
  }
  return midrollAdTag(streamConfig);
}

TimedEvent slotBreakEvent(TimedEvent::EventType type, const SlotConfig& slot,
                          const StreamConfig& streamConfig, double timeToNextAdd) {
  return TimedEvent(type, static_cast<double>(slot.maxDuration.value_or(0)), slot.maxPods,
                    slotAdTag(slot, streamConfig), timeToNextAdd);
}

}  // namespace telvora
