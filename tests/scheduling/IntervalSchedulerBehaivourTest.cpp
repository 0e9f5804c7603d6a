#include "scheduling/IntervalSchedulerBehaivour.hpp"

#include "EventLog.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kTag = "http://ads/midroll";

StreamConfig intervalConfig(std::optional<std::int64_t> midrollTime,
                            std::optional<std::int64_t> maxMidrollTime = 30,
                            std::optional<std::int64_t> midrollPods = 2,
                            std::optional<std::string> vastUrl = kTag) {
  StreamConfig config;
  config.breakingAdsMode = StreamConfig::Mode::interval;
  config.midrollTime = midrollTime;
  config.maxMidrollTime = maxMidrollTime;
  config.midrollPods = midrollPods;
  AdConfig ad;
  ad.vastUrl = std::move(vastUrl);
  config.midrollAdConfig = ad;
  return config;
}

// Every tick is answered with exactly one event; the row checks the last one.
struct BoundaryCase {
  const char* name;
  StreamConfig config;
  std::vector<double> positions;  // polling delay 1
  TimedEvent last;
};

TEST(IntervalSchedulerBehaivour, AnswersEveryTickByTheTimeLeft) {
  StreamConfig noAdConfig = intervalConfig(5, std::nullopt, std::nullopt);
  noAdConfig.midrollAdConfig.reset();
  const std::vector<BoundaryCase> cases = {
      {"first tick counts nothing", intervalConfig(20), {0}, wait(20)},
      {"exactly 15 left waits", intervalConfig(16), {0, 1}, wait(15)},
      {"just under 15 prepares", intervalConfig(15), {0, 0.1}, prepare(30, 2, kTag, 14.9)},
      {"a short interval never waits", intervalConfig(10), {0}, prepare(30, 2, kTag, 10)},
      {"interval 0 starts at once", intervalConfig(0), {0}, start(30, 2, kTag, 0)},
      {"exactly 0 left starts", intervalConfig(2), {0, 1, 2}, start(30, 2, kTag, 0)},
      {"start repeats", intervalConfig(2), {0, 1, 2, 3, 4, 5}, start(30, 2, kTag, 0)},
      {"no break length gives 0", intervalConfig(0, std::nullopt), {0}, start(0, 2, kTag, 0)},
      {"no ad settings", noAdConfig, {0}, prepare(0, std::nullopt, std::nullopt, 5)},
      {"broken positions answer from the count",
       intervalConfig(20),
       {0, 1, kNaN, kInf, -kInf},
       wait(19)},
  };
  for (const BoundaryCase& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    IntervalSchedulerBehaivour behaviour(c.config, log.handler());
    std::vector<TimedEvent> events;
    for (double position : c.positions) {
      behaviour.calculeteTimings(PlaybackProgress(position, 1));
      auto sent = log.take();
      ASSERT_EQ(sent.size(), 1u) << "at position " << position;
      events.push_back(sent.front());
    }
    EXPECT_TRUE(sameEvents({events.back()}, {c.last}));
  }
}

struct CountCase {
  const char* name;
  std::vector<PlaybackProgress> ticks;
  double timer;
  double oldPosition;
};

TEST(IntervalSchedulerBehaivour, CountsPlayedTimeNotPositions) {
  const std::vector<CountCase> cases = {
      {"on-demand playback", {{0, 0.5}, {0.5, 0.5}, {1, 0.5}, {1.5, 0.5}}, 1.5, 1.5},
      {"unchanged position", {{5, 1}, {5, 1}, {5, 1}}, 0, 5},
      {"forward seek counts 1", {{0, 1}, {100, 1}}, 1, 100},
      {"backward seek counts the delay", {{100, 1}, {50, 0.25}}, 0.25, 50},
      {"backward seek counts at most 1", {{100, 1}, {50, 30}}, 1, 50},
      {"live playback, position shrinks", {{60, 1}, {59, 1}, {58, 0.05}}, 1.05, 58},
      {"live playlist moves the position up", {{60, 1}, {59, 1}, {75, 1}}, 2, 75},
      {"broken positions count nothing, extreme ones at most 1",
       {{10, 1}, {kNaN, 1}, {kInf, 1}, {-kInf, 1}, {1e308, 1}, {-1e308, 1e308}, {11, 1}},
       3,
       11},
      {"a negative or NaN delay counts nothing, an infinite one 1",
       {{10, 1}, {9, -5}, {8, kNaN}, {7, kInf}},
       1,
       7},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.name);
    IntervalSchedulerBehaivour behaviour(intervalConfig(1000), nullptr);
    for (const PlaybackProgress& tick : c.ticks)
      behaviour.calculeteTimings(tick);
    EXPECT_NEAR(behaviour.timer(), c.timer, 1e-9);
    EXPECT_EQ(behaviour.oldPosition(), c.oldPosition);
  }
}

TEST(IntervalSchedulerBehaivour, WithoutAnIntervalSendsNothingAndCountsNothing) {
  EventLog log;
  IntervalSchedulerBehaivour behaviour(intervalConfig(std::nullopt), log.handler());
  runTicks(behaviour, log, {{0, 1, {}}, {1, 1, {}}, {100, 1, {}}});
  EXPECT_EQ(behaviour.timer(), 0);
  EXPECT_FALSE(behaviour.oldPosition());
}

TEST(IntervalSchedulerBehaivour, PreRollSuspendsAndEachBreakRestartsTheCount) {
  EventLog log;
  IntervalSchedulerBehaivour behaviour(intervalConfig(3), log.handler());

  behaviour.ignoreEvents();
  EXPECT_TRUE(behaviour.shouldIgnoreEvents());
  runTicks(behaviour, log, {{0, 1, {}}, {1, 1, {}}, {2, 1, {}}});
  EXPECT_EQ(behaviour.timer(), 0);
  EXPECT_FALSE(behaviour.oldPosition());

  // The pre-roll is shown without this behaviour ever having sent `start`.
  behaviour.adFinished();
  EXPECT_FALSE(behaviour.shouldIgnoreEvents());
  runTicks(behaviour, log,
           {{500, 1, {prepare(30, 2, kTag, 3)}},  // counting begins where playback is
            {501, 1, {prepare(30, 2, kTag, 2)}},
            {502, 1, {prepare(30, 2, kTag, 1)}},
            {503, 1, {start(30, 2, kTag, 0)}},
            {504, 1, {start(30, 2, kTag, 0)}}});

  behaviour.adFinished();
  EXPECT_EQ(behaviour.timer(), 0);
  EXPECT_FALSE(behaviour.oldPosition());
  runTicks(behaviour, log,
           {{504, 1, {prepare(30, 2, kTag, 3)}}, {505, 1, {prepare(30, 2, kTag, 2)}}});

  // Suspended mid-count: the count and the last position are kept as they are.
  behaviour.ignoreEvents();
  runTicks(behaviour, log, {{900, 1, {}}});
  EXPECT_EQ(behaviour.timer(), 1);
  EXPECT_EQ(behaviour.oldPosition(), 505);
}

}  // namespace
}  // namespace telvora
