#include "scheduling/WODSlotsSchedulerBehaivour.hpp"

#include "EventLog.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kMidrollTag = "http://ads/midroll";
const std::string kSlotTag = "http://ads/slot";

SlotConfig slot(std::optional<std::int64_t> time, std::optional<std::int64_t> maxDuration = 20,
                std::optional<std::int64_t> maxPods = 2,
                std::optional<std::string> vastUrl = kSlotTag) {
  SlotConfig s;
  s.time = time;
  s.maxDuration = maxDuration;
  s.maxPods = maxPods;
  s.adConfig = AdConfig();
  s.adConfig->vastUrl = std::move(vastUrl);
  return s;
}

StreamConfig slotsConfig(std::optional<std::vector<SlotConfig>> slots) {
  StreamConfig config;
  config.breakingAdsMode = StreamConfig::Mode::slots;
  config.slots = std::move(slots);
  config.midrollAdConfig = AdConfig();
  config.midrollAdConfig->vastUrl = kMidrollTag;
  return config;
}

struct Case {
  const char* name;
  std::optional<std::vector<SlotConfig>> slots;
  std::vector<Tick> ticks;
};

TEST(WODSlotsSchedulerBehaivour, AnnouncesSlotsByTheRoundedPosition) {
  const TimedEvent start300 = start(20, 2, kSlotTag, 0);
  const std::vector<Case> cases = {
      {"one slot, watched and seeked around",
       std::vector{slot(300)},
       {{285.4, 1, {wait(15)}},
        {286, 1, {prepare(20, 2, kSlotTag, 14)}},
        {299.4, 0.05, {prepare(20, 2, kSlotTag, 1)}},
        {299.5, 0.05, {start300}},
        {300.4, 0.05, {wait(100000)}},  // started already
        {301, 1, {wait(100000)}},
        {302, 1, {wait(100000)}},  // left behind
        {290, 1, {prepare(20, 2, kSlotTag, 10)}},
        {300, 1, {start300}},
        {290, 1, {wait(100000)}},  // straight back: skipped on the tick that frees it
        {291, 1, {prepare(20, 2, kSlotTag, 9)}},
        {310, 1, {wait(100000)}}}},  // seeked across: never caught up
      {"the next slot decides right after a start",
       std::vector{slot(300), slot(310, std::nullopt, std::nullopt, "")},
       {{300, 1, {start300}},
        {300.4, 1, {prepare(0, std::nullopt, kMidrollTag, 10)}},
        {310, 1, {start(0, std::nullopt, kMidrollTag, 0)}},
        {311, 1, {wait(100000)}}}},
      {"a later slot listed first hides an earlier one",
       std::vector{slot(300), slot(120)},
       {{100, 1, {wait(200)}}, {120, 1, {wait(180)}}, {299.6, 1, {start300}}}},
      {"a slot without time stops the walk",
       std::vector{slot(100), slot(std::nullopt), slot(300)},
       {{50, 1, {wait(50)}}, {150, 1, {}}, {350, 1, {}}}},
      {"halves round away from zero",
       std::vector{slot(0)},
       {{-0.5, 1, {prepare(20, 2, kSlotTag, 1)}}, {-0.4, 1, {start(20, 2, kSlotTag, 0)}}}},
      {"broken positions are ignored",
       std::vector{slot(300)},
       {{299.5, 1, {start300}},
        {kNaN, 1, {}},
        {kInf, 1, {}},
        {-kInf, 1, {}},
        {1e19, 1, {}},
        {-1e19, 1, {}},
        {300.2, 1, {wait(100000)}}}},
      {"slot times at the integer limits",
       std::vector{slot(std::numeric_limits<std::int64_t>::min()),
                   slot(std::numeric_limits<std::int64_t>::max())},
       {{-0x1p63, 1, {start(20, 2, kSlotTag, 0)}},
        {-0x1p63, 1, {wait(0x1p64)}},
        {9.2e18, 1, {wait(static_cast<double>(23372036854775807LL))}}}},
      {"no slot list", std::nullopt, {{0, 1, {}}, {300, 1, {}}}},
      {"empty slot list", std::vector<SlotConfig>{}, {{0, 1, {wait(100000)}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    WODSlotsSchedulerBehaivour behaviour(slotsConfig(c.slots), log.handler());
    runTicks(behaviour, log, c.ticks);
  }
}

TEST(WODSlotsSchedulerBehaivour, KeepsItsStateOverBrokenTicksAndBreaks) {
  EventLog log;
  WODSlotsSchedulerBehaivour behaviour(slotsConfig(std::vector{slot(300)}), log.handler());
  behaviour.calculeteTimings(PlaybackProgress(299.5, 1));
  EXPECT_EQ(behaviour.timer(), 300);
  EXPECT_EQ(behaviour.lastSlotTime(), 300);

  behaviour.calculeteTimings(PlaybackProgress(kNaN, 1));
  behaviour.ignoreEvents();
  behaviour.adFinished();
  EXPECT_EQ(behaviour.timer(), 300);
  EXPECT_EQ(behaviour.lastSlotTime(), 300);

  behaviour.calculeteTimings(PlaybackProgress(302, 1));
  EXPECT_EQ(behaviour.timer(), 302);
  EXPECT_FALSE(behaviour.lastSlotTime());
}

}  // namespace
}  // namespace telvora
