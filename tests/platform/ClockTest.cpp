#include <telvora/platform/Clock.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace telvora {
namespace {

using namespace std::chrono_literals;

TEST(ClockTest, FromSecondsRoundsAndSaturates) {
  const struct {
    double seconds;
    ClockDuration expected;
  } cases[] = {
      {0.0, 0ns},
      {0.1, 100ms},
      {0.7, 700ms},  // truncating would give 699999999 ns
      {1.000000001, 1000000001ns},
      {-2.5, -2500ms},
      {10000.0, 10000s},
      {1e300, ClockDuration::max()},
      {std::numeric_limits<double>::infinity(), ClockDuration::max()},
      {-std::numeric_limits<double>::infinity(), ClockDuration::min()},
      {std::numeric_limits<double>::quiet_NaN(), 0ns},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fromSeconds(c.seconds), c.expected) << c.seconds;
  }
  EXPECT_DOUBLE_EQ(toSeconds(1500ms), 1.5);
}

TEST(ManualClockTest, MovesOnlyForwardAndOnlyWhenTold) {
  enum class Op { advance, set };
  ManualClock clock(5s);
  const struct {
    Op op;
    ClockDuration value;
    ClockDuration expected;
  } steps[] = {
      {Op::advance, 1s, 6s},
      {Op::advance, 0s, 6s},
      {Op::advance, -3s, 6s},  // never backwards
      {Op::set, 10s, 10s},
      {Op::set, 2s, 10s},  // ignored
      {Op::set, 10s, 10s},
      {Op::advance, ClockDuration::max(), ClockDuration::max()},  // saturates
      {Op::advance, 1s, ClockDuration::max()},
  };
  EXPECT_EQ(clock.now(), 5s);
  for (const auto& step : steps) {
    if (step.op == Op::advance) {
      clock.advance(step.value);
    } else {
      clock.set(step.value);
    }
    EXPECT_EQ(clock.now(), step.expected);
  }
  EXPECT_EQ(clock.realDelayUntil(ClockDuration::max()), std::nullopt);
}

TEST(ManualClockTest, ConcurrentAdvancesAllCount) {
  ManualClock clock;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&clock] {
      for (int i = 0; i < 1000; ++i) {
        clock.advance(1ms);
        clock.set(clock.now() - 1ms);  // a set into the past never loses an advance
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(clock.now(), 4000ms);
}

TEST(ScaledClockTest, FactorMustBeFiniteAndPositive) {
  const struct {
    double given;
    double taken;
  } cases[] = {
      {10.0, 10.0},
      {0.5, 0.5},
      {0.0, 1.0},
      {-2.0, 1.0},
      {std::numeric_limits<double>::infinity(), 1.0},
      {std::numeric_limits<double>::quiet_NaN(), 1.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaledClock(c.given).factor(), c.taken) << c.given;
  }
}

// Real clocks: short waits, tolerant bounds.
TEST(ScaledClockTest, RunsFasterThanRealTime) {
  ScaledClock clock(10.0);
  const auto realStart = std::chrono::steady_clock::now();
  const ClockDuration clockStart = clock.now();
  std::this_thread::sleep_for(20ms);
  const ClockDuration clockElapsed = clock.now() - clockStart;
  const auto realElapsed = std::chrono::steady_clock::now() - realStart;
  EXPECT_GE(clockElapsed, 200ms);
  EXPECT_LE(clockElapsed, realElapsed * 10 + 1ms);

  // One clock second ahead is a tenth of a real second away.
  const auto delay = clock.realDelayUntil(clock.now() + 1s);
  ASSERT_TRUE(delay.has_value());
  EXPECT_LE(*delay, 100ms);
  EXPECT_GE(*delay, 90ms);
  EXPECT_EQ(clock.realDelayUntil(clock.now() - 1s), 0ns);
  EXPECT_EQ(clock.realDelayUntil(ClockDuration::min()), 0ns);

  // A slow clock cannot overflow the delay to a far target.
  EXPECT_EQ(ScaledClock(0.5).realDelayUntil(ClockDuration::max()), ClockDuration::max());
}

TEST(SteadyClockTest, StartsAtZeroAndReportsRealDelays) {
  SteadyClock clock;
  const ClockDuration first = clock.now();
  EXPECT_GE(first, 0ns);
  EXPECT_LT(first, 1s);
  EXPECT_GE(clock.now(), first);

  const auto delay = clock.realDelayUntil(clock.now() + 50ms);
  ASSERT_TRUE(delay.has_value());
  EXPECT_LE(*delay, 50ms);
  EXPECT_GT(*delay, 25ms);
  EXPECT_EQ(clock.realDelayUntil(first), 0ns);
  EXPECT_EQ(clock.realDelayUntil(ClockDuration::min()), 0ns);
}

}  // namespace
}  // namespace telvora
