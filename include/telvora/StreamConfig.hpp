#pragma once

#include <telvora/AdConfig.hpp>
#include <telvora/PreAdNotification.hpp>
#include <telvora/SlotConfig.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace telvora {

// The ad settings of one kind of stream (live, on demand, or the defaults
// both are completed from). Every field is optional; the reader of a field
// decides what its absence means (no pre-roll, no behaviour, 3 seconds, ...).
struct StreamConfig {
  // Which behaviour places the mid-rolls. JSON raw values differ from the
  // case names: "os" is interval, "default" is slots, "cue" is cue.
  enum class Mode { interval, slots, cue };

  std::optional<std::int64_t> prerollPods;
  std::optional<std::int64_t> maxPrerollTime;  // seconds
  std::optional<std::int64_t> midrollPods;
  std::optional<std::int64_t> maxMidrollTime;  // seconds
  std::optional<std::int64_t> midrollTime;     // seconds between mid-rolls
  std::optional<Mode> breakingAdsMode;
  std::optional<AdConfig> prerollAdConfig;
  std::optional<AdConfig> midrollAdConfig;
  std::optional<std::string> fillerStream;
  std::optional<std::vector<SlotConfig>> slots;
  std::optional<std::int64_t> stopFetchingAdsBellowXRemainingSec;  // absent: 3
  std::optional<PreAdNotification> preAdNotification;

  StreamConfig() = default;
  StreamConfig(std::optional<std::int64_t> prerollPods, std::optional<std::int64_t> maxPrerollTime,
               std::optional<std::int64_t> midrollPods, std::optional<std::int64_t> maxMidrollTime,
               std::optional<std::int64_t> midrollTime, std::optional<Mode> breakingAdsMode,
               std::optional<AdConfig> prerollAdConfig, std::optional<AdConfig> midrollAdConfig,
               std::optional<std::string> fillerStream,
               std::optional<std::vector<SlotConfig>> slots,
               std::optional<std::int64_t> stopFetchingAdsBellowXRemainingSec,
               std::optional<PreAdNotification> preAdNotification)
      : prerollPods(prerollPods),
        maxPrerollTime(maxPrerollTime),
        midrollPods(midrollPods),
        maxMidrollTime(maxMidrollTime),
        midrollTime(midrollTime),
        breakingAdsMode(breakingAdsMode),
        prerollAdConfig(std::move(prerollAdConfig)),
        midrollAdConfig(std::move(midrollAdConfig)),
        fillerStream(std::move(fillerStream)),
        slots(std::move(slots)),
        stopFetchingAdsBellowXRemainingSec(stopFetchingAdsBellowXRemainingSec),
        preAdNotification(std::move(preAdNotification)) {}

  friend bool operator==(const StreamConfig&, const StreamConfig&) = default;
};

}  // namespace telvora
