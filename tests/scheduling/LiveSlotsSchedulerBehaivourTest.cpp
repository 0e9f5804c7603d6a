#include "scheduling/LiveSlotsSchedulerBehaivour.hpp"

#include "EventLog.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace test;

const std::string kMidrollTag = "http://ads/midroll";
const std::string kSlotTag = "http://ads/slot";

SlotConfig slot(std::optional<std::int64_t> time, std::optional<std::int64_t> maxDuration = 30,
                std::optional<std::int64_t> maxPods = 2,
                std::optional<std::string> vastUrl = kSlotTag) {
  SlotConfig s;
  s.time = time;
  s.maxDuration = maxDuration;
  s.maxPods = maxPods;
  if (vastUrl) {
    s.adConfig = AdConfig();
    s.adConfig->vastUrl = vastUrl;
  }
  return s;
}

StreamConfig slotsConfig(std::optional<std::vector<SlotConfig>> slots,
                         std::optional<std::string> midrollTag = kMidrollTag) {
  StreamConfig config;
  config.breakingAdsMode = StreamConfig::Mode::slots;
  config.slots = std::move(slots);
  if (midrollTag) {
    config.midrollAdConfig = AdConfig();
    config.midrollAdConfig->vastUrl = midrollTag;
  }
  return config;
}

// Plays a live stream: the position shrinks by one second per tick, so every
// tick after the first counts one second.
class LivePlayback {
 public:
  explicit LivePlayback(StreamConfig config)
      : behaviour(std::make_shared<LiveSlotsSchedulerBehaivour>(std::move(config), log.handler())) {
  }

  // Plays `ticks` ticks and answers the events of the last one.
  std::vector<TimedEvent> play(int ticks = 1) {
    for (int i = 0; i < ticks; ++i) {
      log.take();
      behaviour->calculeteTimings(PlaybackProgress(position, 1));
      position -= 1;
    }
    return log.take();
  }

  EventLog log;
  std::shared_ptr<LiveSlotsSchedulerBehaivour> behaviour;
  double position = 10000;
};

TEST(LiveSlotsSchedulerBehaivour, WorksThroughTheSlotsOnTheCountedTimeLine) {
  LivePlayback live(slotsConfig(std::vector{slot(20), slot(50, std::nullopt, std::nullopt, "")}));
  auto& b = *live.behaviour;

  EXPECT_TRUE(sameEvents(live.play(), {wait(20)}));  // the first tick counts nothing
  EXPECT_TRUE(sameEvents(live.play(5), {wait(15)}));
  EXPECT_TRUE(sameEvents(live.play(), {prepare(30, 2, kSlotTag, 14)}));
  EXPECT_TRUE(sameEvents(live.play(13), {prepare(30, 2, kSlotTag, 1)}));
  EXPECT_TRUE(sameEvents(live.play(), {start(30, 2, kSlotTag, 0)}));
  EXPECT_TRUE(sameEvents(live.play(3), {start(30, 2, kSlotTag, 0)}));
  EXPECT_TRUE(b.adStarted());
  EXPECT_EQ(b.previusCuePointStart(), 20);

  // The break's own time does not count: the count resumes at the slot's time.
  b.adFinished();
  EXPECT_EQ(b.timer(), 20);
  EXPECT_FALSE(b.oldPosition());
  ASSERT_EQ(b.streamConfig().slots->size(), 1u);
  EXPECT_TRUE(b.isSlotsEnabled());
  EXPECT_TRUE(sameEvents(live.play(), {wait(30)}));
  EXPECT_TRUE(sameEvents(live.play(30), {start(0, std::nullopt, kMidrollTag, 0)}));

  b.adFinished();
  EXPECT_FALSE(b.isSlotsEnabled());
  EXPECT_TRUE(b.streamConfig().slots->empty());
  EXPECT_TRUE(sameEvents(live.play(), {wait(999999)}));
  EXPECT_TRUE(sameEvents(live.play(), {wait(999999)}));
  EXPECT_EQ(b.timer(), 50);  // nothing is counted any more
  EXPECT_FALSE(b.oldPosition());
}

struct BreakCase {
  const char* name;
  StreamConfig config;
  std::vector<double> positions;  // polling delay 1
  TimedEvent last;
};

TEST(LiveSlotsSchedulerBehaivour, DescribesTheFirstSlotsBreak) {
  const std::vector<BreakCase> cases = {
      {"exactly 15 ahead waits", slotsConfig(std::vector{slot(16)}), {0, 1}, wait(15)},
      {"just under 15 prepares",
       slotsConfig(std::vector{slot(15)}),
       {0, 0.1},
       prepare(30, 2, kSlotTag, 14.9)},
      {"exactly on time starts",
       slotsConfig(std::vector{slot(1), slot(2)}),
       {0, 1},
       start(30, 2, kSlotTag, 0)},
      {"no length gives 0, no ad limit none",
       slotsConfig(std::vector{slot(0, std::nullopt, std::nullopt)}),
       {0},
       start(0, std::nullopt, kSlotTag, 0)},
      {"empty slot tag takes the mid-roll tag",
       slotsConfig(std::vector{slot(5, 30, 2, "")}),
       {0},
       prepare(30, 2, kMidrollTag, 5)},
      {"slot without ad settings takes the mid-roll tag",
       slotsConfig(std::vector{slot(5, 30, 2, std::nullopt)}),
       {0},
       prepare(30, 2, kMidrollTag, 5)},
      {"no tag anywhere",
       slotsConfig(std::vector{slot(5, 30, 2, "")}, std::nullopt),
       {0},
       prepare(30, 2, std::nullopt, 5)},
  };
  for (const BreakCase& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    LiveSlotsSchedulerBehaivour behaviour(c.config, log.handler());
    std::vector<TimedEvent> sent;
    for (double position : c.positions) {
      behaviour.calculeteTimings(PlaybackProgress(position, 1));
      sent = log.take();
    }
    EXPECT_TRUE(sameEvents(sent, {c.last}));
  }
}

TEST(LiveSlotsSchedulerBehaivour, StaysSilentWithoutAUsableFirstSlot) {
  {
    SCOPED_TRACE("no slot list: nothing is counted either");
    LivePlayback live(slotsConfig(std::nullopt));
    EXPECT_TRUE(sameEvents(live.play(5), {}));
    EXPECT_EQ(live.behaviour->timer(), 0);
  }
  {
    SCOPED_TRACE("empty list: silent until the pre-roll ends, then used up");
    LivePlayback live(slotsConfig(std::vector<SlotConfig>{}));
    EXPECT_TRUE(sameEvents(live.play(5), {}));
    live.behaviour->adFinished();
    EXPECT_TRUE(sameEvents(live.play(), {wait(999999)}));
  }
  {
    SCOPED_TRACE("first slot without time: counted but never announced");
    LivePlayback live(slotsConfig(std::vector{slot(std::nullopt), slot(3)}));
    EXPECT_TRUE(sameEvents(live.play(6), {}));
    EXPECT_EQ(live.behaviour->timer(), 5);
    live.behaviour->adFinished();  // no break has started: the slot stays
    EXPECT_EQ(live.behaviour->streamConfig().slots->size(), 2u);
    EXPECT_TRUE(sameEvents(live.play(), {}));
  }
}

TEST(LiveSlotsSchedulerBehaivour, PreRollSuspendsWithoutUsingASlot) {
  LivePlayback live(slotsConfig(std::vector{slot(20)}));
  live.behaviour->ignoreEvents();
  EXPECT_TRUE(sameEvents(live.play(30), {}));
  EXPECT_EQ(live.behaviour->timer(), 0);

  live.behaviour->adFinished();
  EXPECT_FALSE(live.behaviour->shouldIgnoreEvents());
  EXPECT_EQ(live.behaviour->streamConfig().slots->size(), 1u);
  EXPECT_TRUE(sameEvents(live.play(), {wait(20)}));
}

TEST(LiveSlotsSchedulerBehaivour, ABreakReportedShownFromInsideItsStartUsesUpTheSlot) {
  // A scheduler with nothing to show can report the break over at once.
  LivePlayback live(slotsConfig(std::vector{slot(1), slot(40)}));
  std::vector<TimedEvent> events;
  live.behaviour->setTimedEventOccured([&](const TimedEvent& e) {
    events.push_back(e);
    if (e.type() == TimedEvent::EventType::start) live.behaviour->adFinished();
  });
  live.play(2);
  ASSERT_FALSE(events.empty());
  EXPECT_TRUE(sameEvents({events.back()}, {start(30, 2, kSlotTag, 0)}));
  EXPECT_EQ(live.behaviour->streamConfig().slots->size(), 1u);
  EXPECT_EQ(live.behaviour->timer(), 1);

  events.clear();
  live.play();
  EXPECT_TRUE(sameEvents(events, {wait(39)}));
}

}  // namespace
}  // namespace telvora
