#pragma once

#include <telvora/AdConfig.hpp>

#include <cstdint>
#include <optional>
#include <utility>

namespace telvora {

// One ad break of the slot modes: when it is due, how many ads and how much
// time it gets, and optionally its own VAST source.
struct SlotConfig {
  std::optional<std::int64_t> time;  // seconds, on the behaviour's clock
  std::optional<std::int64_t> timeout;
  std::optional<std::int64_t> maxPods;      // most ads in the break
  std::optional<std::int64_t> maxDuration;  // seconds
  std::optional<AdConfig> adConfig;

  SlotConfig() = default;
  SlotConfig(std::optional<std::int64_t> time, std::optional<std::int64_t> timeout,
             std::optional<std::int64_t> maxPods, std::optional<std::int64_t> maxDuration,
             std::optional<AdConfig> adConfig)
      : time(time),
        timeout(timeout),
        maxPods(maxPods),
        maxDuration(maxDuration),
        adConfig(std::move(adConfig)) {}

  friend bool operator==(const SlotConfig&, const SlotConfig&) = default;
};

}  // namespace telvora
