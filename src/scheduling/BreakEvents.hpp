#pragma once

#include <telvora/SlotConfig.hpp>
#include <telvora/StreamConfig.hpp>

#include "scheduling/TimedEvent.hpp"

#include <optional>
#include <string>

namespace telvora {

// How the behaviours fill their events, where more than one of them follows
// the same rule.

// A `wait` for a break `timeToNextAdd` seconds away; it describes no break.
TimedEvent waitEvent(double timeToNextAdd);

// The mid-roll ad tag: `midrollAdConfig.vastUrl`, absent when either is.
std::optional<std::string> midrollAdTag(const StreamConfig& streamConfig);

// The ad tag of a slot: its own `adConfig.vastUrl` when that is present and
// not empty, otherwise the mid-roll ad tag.
std::optional<std::string> slotAdTag(const SlotConfig& slot, const StreamConfig& streamConfig);

// A `prepare` or `start` for a slot's break: `maxDuration` as the duration (0
// when absent), `maxPods` as it is, and the slot's ad tag.
TimedEvent slotBreakEvent(TimedEvent::EventType type, const SlotConfig& slot,
                          const StreamConfig& streamConfig, double timeToNextAdd);

}  // namespace telvora
