#include <telvora/platform/RunLoop.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace telvora {
namespace {

using namespace std::chrono_literals;

class RunLoopTest : public ::testing::Test {
 protected:
  RunLoop::Task record(std::string name) {
    return [this, name] { log.push_back(name); };
  }

  std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
  RunLoop loop{clock};
  std::vector<std::string> log;
};

TEST_F(RunLoopTest, TasksRunInOrderAndDueTimersQueueBehindThem) {
  loop.asyncAfter(1s, record("t1 at 1s"));
  Timer t2 = loop.scheduleTimer(1s, false, [this] {
    log.push_back("t2 at 1s");
    loop.async(record("posted by t2"));
  });
  loop.asyncAfter(1s, record("t3 at 1s"));
  loop.asyncAfter(500ms, record("t0 at 0.5s"));
  loop.async(record("a"));
  loop.async([this] {
    log.push_back("b");
    loop.async(record("posted by b"));
  });

  EXPECT_EQ(loop.runUntilIdle(), 3u);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "posted by b"}));

  log.clear();
  loop.runFor(1s);
  // Timers due together run in the order they were scheduled, and a task
  // posted by one runs after the others already due.
  EXPECT_EQ(log, (std::vector<std::string>{"t0 at 0.5s", "t1 at 1s", "t2 at 1s", "t3 at 1s",
                                           "posted by t2"}));
}

TEST_F(RunLoopTest, TimerThatFellDueRunsAfterTasksAlreadyWaiting) {
  loop.asyncAfter(1s, record("timer"));
  clock->advance(2s);  // due, but the loop has not looked yet
  loop.async(record("a"));
  loop.async(record("b"));
  EXPECT_EQ(loop.runUntilIdle(), 3u);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "timer"}));
}

TEST_F(RunLoopTest, RepeatingTimerFiresAtEveryMultipleOfItsInterval) {
  const struct {
    ClockDuration interval;
    ClockDuration runFor;
    int steps;  // runFor split into this many calls
    int firings;
  } cases[] = {
      {100ms, 1s, 1, 10},  {100ms, 1s, 4, 10}, {300ms, 1s, 1, 3}, {250ms, 1s, 10, 4},
      {1ms, 10ms, 1, 10},  {0ms, 10ms, 1, 10},  // a repeat interval below 1 ms is 1 ms
      {-5ms, 10ms, 2, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.interval.count() << " ns over " << c.runFor.count() << " ns in " << c.steps);
    loop.reset();
    const ClockDuration start = clock->now();
    std::vector<ClockDuration> firedAt;
    Timer timer =
        loop.scheduleTimer(c.interval, true, [&] { firedAt.push_back(loop.now() - start); });
    for (int i = 0; i < c.steps; ++i)
      loop.runFor(c.runFor / c.steps);

    const ClockDuration interval = std::max(c.interval, ClockDuration(1ms));
    std::vector<ClockDuration> expected;
    for (int k = 1; k <= c.firings; ++k)
      expected.push_back(k * interval);
    EXPECT_EQ(firedAt, expected);
    EXPECT_EQ(clock->now() - start, c.runFor);
    EXPECT_TRUE(timer.isValid());
  }
}

TEST_F(RunLoopTest, LateRepeatingTimerSkipsTheFiringsItMissed) {
  std::vector<ClockDuration> firedAt;
  Timer timer = loop.scheduleTimer(100ms, true, [&] { firedAt.push_back(loop.now()); });
  clock->advance(350ms);  // behind by three firings
  loop.runUntilIdle();
  loop.runFor(100ms);
  EXPECT_EQ(firedAt, (std::vector<ClockDuration>{350ms, 400ms}));

  // Late by exactly two intervals: the late firing stands in for the one at
  // 700 ms too, so there is no burst.
  clock->set(700ms);
  loop.runUntilIdle();
  loop.runFor(100ms);
  EXPECT_EQ(firedAt, (std::vector<ClockDuration>{350ms, 400ms, 700ms, 800ms}));
}

TEST_F(RunLoopTest, LongOneShotFiresOnceExactlyWhenDue) {
  std::vector<ClockDuration> firedAt;
  Timer timer = loop.scheduleTimer(10000s, false, [&] { firedAt.push_back(loop.now()); });
  loop.runFor(9999s);
  EXPECT_TRUE(firedAt.empty());
  EXPECT_TRUE(timer.isValid());
  loop.runFor(1s);
  EXPECT_EQ(firedAt, (std::vector<ClockDuration>{10000s}));
  EXPECT_FALSE(timer.isValid());
  loop.runFor(100000s);
  EXPECT_EQ(firedAt.size(), 1u);
}

TEST_F(RunLoopTest, AsyncAfterRunsEachTaskAtItsTime) {
  std::vector<std::pair<std::string, ClockDuration>> ran;
  const auto at = [&](std::string name) {
    return [&ran, this, name] { ran.emplace_back(name, loop.now()); };
  };
  loop.asyncAfter(2s, at("two"));
  loop.asyncAfter(1s, at("one"));
  loop.asyncAfter(-1s, at("now"));  // a delay in the past is no delay
  loop.runFor(3s);
  EXPECT_EQ(ran, (std::vector<std::pair<std::string, ClockDuration>>{
                     {"now", 0s}, {"one", 1s}, {"two", 2s}}));
}

TEST_F(RunLoopTest, TimerTasksMayScheduleTimersPostTasksAndInvalidateThemselves) {
  // A chain of one-shots, each scheduling the next, is visited at each time.
  std::vector<ClockDuration> chain;
  std::function<void()> step = [&] {
    chain.push_back(loop.now());
    if (chain.size() < 5) loop.asyncAfter(100ms, step);
  };
  loop.asyncAfter(100ms, step);

  int firings = 0;
  Timer repeating;
  repeating = loop.scheduleTimer(1s, true, [&] {
    if (++firings == 3) repeating.invalidate();
    loop.async([&] { log.push_back("posted at " + std::to_string(loop.now() / 1s)); });
  });

  loop.runFor(10s);
  EXPECT_EQ(chain, (std::vector<ClockDuration>{100ms, 200ms, 300ms, 400ms, 500ms}));
  EXPECT_EQ(firings, 3);
  EXPECT_FALSE(repeating.isValid());
  EXPECT_EQ(log, (std::vector<std::string>{"posted at 1", "posted at 2", "posted at 3"}));
}

TEST_F(RunLoopTest, HandleOwnsTheSchedule) {
  int fired = 0;
  {
    Timer dropped = loop.scheduleTimer(1s, false, [&] { ++fired; });
  }
  Timer replaced = loop.scheduleTimer(1s, true, [&] { fired += 100; });
  Timer kept = loop.scheduleTimer(1s, false, [&] { fired += 10; });
  replaced = std::move(kept);  // the repeating timer goes, the one-shot stays
  Timer moved(std::move(replaced));
  EXPECT_FALSE(replaced.isValid());
  EXPECT_TRUE(moved.isValid());

  loop.runFor(5s);
  EXPECT_EQ(fired, 10);

  Timer empty;
  EXPECT_FALSE(empty.isValid());
  empty.invalidate();
}

TEST_F(RunLoopTest, InvalidateFromAnotherThread) {
  int firings = 0;
  Timer timer = loop.scheduleTimer(100ms, true, [&] {
    if (++firings == 3) std::thread([&timer] { timer.invalidate(); }).join();
  });
  loop.runFor(1s);
  EXPECT_EQ(firings, 3);
  EXPECT_FALSE(timer.isValid());
}

TEST_F(RunLoopTest, InvalidateRacingTheLoopStopsEveryTimer) {
  std::atomic<int> firings{0};
  std::vector<Timer> timers;
  for (int i = 0; i < 50; ++i) {
    timers.push_back(loop.scheduleTimer(1ms, true, [&firings] { ++firings; }));
  }
  std::atomic<bool> go{false};
  std::atomic<bool> finished{false};
  std::thread invalidator([&] {
    while (!go)
      std::this_thread::yield();
    for (auto& timer : timers)
      timer.invalidate();
    finished = true;
  });
  loop.async([&go] { go = true; });
  while (!finished)
    loop.runFor(10ms);  // the timers fire while they are invalidated
  invalidator.join();
  for (const auto& timer : timers)
    EXPECT_FALSE(timer.isValid());

  const int seen = firings;
  loop.runFor(1s);
  EXPECT_EQ(firings, seen);
}

TEST_F(RunLoopTest, DroppedWorkReleasesWhatItCaptured) {
  auto captured = std::make_shared<int>(0);
  std::weak_ptr<int> watch = captured;
  Timer timer = loop.scheduleTimer(1s, true, [captured] {});
  loop.asyncAfter(1s, [captured] {});
  loop.async([captured] {});
  captured.reset();

  timer.invalidate();
  EXPECT_FALSE(watch.expired());  // still held by the two pending tasks
  loop.reset();
  EXPECT_TRUE(watch.expired());
}

TEST_F(RunLoopTest, ResetDropsEverythingAndTheLoopWorksOnAfterwards) {
  int ran = 0;
  loop.async([&] { ++ran; });
  loop.asyncAfter(1s, [&] { ++ran; });
  Timer timer = loop.scheduleTimer(1s, true, [&] { ++ran; });
  loop.stop();
  loop.reset();
  EXPECT_FALSE(timer.isValid());
  loop.runFor(5s);
  EXPECT_EQ(ran, 0);

  // The stop() made before reset() is gone too: run() runs until this one.
  loop.async([&] {
    log.push_back("ran");
    loop.stop();
  });
  loop.run();
  EXPECT_EQ(log, (std::vector<std::string>{"ran"}));

  // A repeating timer whose task resets the loop stops too.
  Timer resetting = loop.scheduleTimer(1s, true, [&] {
    ++ran;
    loop.reset();
  });
  loop.runFor(5s);
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(resetting.isValid());
}

TEST_F(RunLoopTest, LoopMayBeDestroyedWithHandlesAliveAndFromItsOwnTask) {
  Timer outliving;
  auto captured = std::make_shared<int>(0);
  std::weak_ptr<int> watch = captured;
  {
    RunLoop other(clock);
    outliving = other.scheduleTimer(1s, true, [captured] {});
    other.async([captured] {});
    captured.reset();
  }
  EXPECT_TRUE(watch.expired());
  EXPECT_FALSE(outliving.isValid());
  outliving.invalidate();

  auto owned = std::make_unique<RunLoop>(clock);
  RunLoop* raw = owned.get();
  int after = 0;
  raw->async([&owned] { owned.reset(); });
  raw->async([&after] { ++after; });
  EXPECT_EQ(raw->runUntilIdle(), 1u);
  EXPECT_EQ(owned, nullptr);
  EXPECT_EQ(after, 0);
}

TEST_F(RunLoopTest, PostsFromManyThreadsEachRunOnceInTheirOrder) {
  constexpr int kThreads = 4;
  constexpr int kPosts = 2000;
  std::vector<std::vector<int>> seen(kThreads);
  int total = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPosts; ++i) {
        if (i % 2 == 0) {
          loop.async([&, t, i] {
            seen[t].push_back(i);
            ++total;
          });
        } else {
          loop.asyncAfter(0s, [&, t, i] {
            seen[t].push_back(i);
            ++total;
          });
        }
      }
    });
  }
  EXPECT_TRUE(loop.runUntil([&] { return total == kThreads * kPosts; }, 30s));
  for (auto& thread : threads)
    thread.join();
  loop.runUntilIdle();
  EXPECT_EQ(total, kThreads * kPosts);
  for (int t = 0; t < kThreads; ++t) {
    // asyncAfter(0) tasks may run after later async() ones, but each kind
    // keeps its own order.
    std::vector<int> evens, odds;
    for (int i : seen[t])
      (i % 2 == 0 ? evens : odds).push_back(i);
    ASSERT_EQ(evens.size(), static_cast<std::size_t>(kPosts / 2));
    ASSERT_EQ(odds.size(), static_cast<std::size_t>(kPosts / 2));
    EXPECT_TRUE(std::is_sorted(evens.begin(), evens.end()));
    EXPECT_TRUE(std::is_sorted(odds.begin(), odds.end()));
  }
}

TEST_F(RunLoopTest, RunUntilWakesForAPostFromAnotherThread) {
  bool done = false;
  std::thread poster([this, &done] { loop.async([&done] { done = true; }); });
  EXPECT_TRUE(loop.runUntil([&] { return done; }, 30s));
  poster.join();
}

TEST_F(RunLoopTest, RunUntilGivesUpAfterItsRealTimeout) {
  loop.asyncAfter(1s, [] {});  // a manual clock never gets there by itself
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 30ms));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 30ms);
  EXPECT_LT(elapsed, 5s);
}

TEST_F(RunLoopTest, StopEndsRunAfterTheTaskUnderWay) {
  loop.async(record("a"));
  loop.async([this] {
    log.push_back("stops");
    loop.stop();
  });
  loop.async(record("left for later"));
  loop.run();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "stops"}));
  EXPECT_EQ(loop.runUntilIdle(), 1u);

  // From another thread, while run() runs or waits for work.
  std::atomic<bool> running{false};
  loop.async([&running] { running = true; });
  std::thread stopper([&] {
    while (!running)
      std::this_thread::yield();
    loop.stop();
  });
  loop.run();
  stopper.join();
}

TEST_F(RunLoopTest, DrainRunsWhatIsDueAndSaysWhenTheNextTimerIs) {
  std::atomic<int> wakeUps{0};
  loop.setWakeUpHandler([&wakeUps] { ++wakeUps; });
  EXPECT_EQ(loop.drain(), std::nullopt);

  loop.async(record("task"));
  loop.asyncAfter(2s, record("timer"));
  Timer repeating = loop.scheduleTimer(3s, true, record("repeating"));
  std::thread([this] { loop.async(record("from a thread")); }).join();
  EXPECT_EQ(wakeUps, 4);

  EXPECT_EQ(loop.drain(), 2s);
  EXPECT_EQ(log, (std::vector<std::string>{"task", "from a thread"}));
  clock->advance(500ms);
  EXPECT_EQ(loop.drain(), 1500ms);
  clock->advance(1500ms);
  EXPECT_EQ(loop.drain(), 1s);
  clock->advance(1s);
  EXPECT_EQ(loop.drain(), 3s);
  EXPECT_EQ(log, (std::vector<std::string>{"task", "from a thread", "timer", "repeating"}));
  repeating.invalidate();
  EXPECT_EQ(loop.drain(), std::nullopt);

  loop.setWakeUpHandler(nullptr);
  loop.async([] {});
  EXPECT_EQ(wakeUps, 4);
}

TEST_F(RunLoopTest, IsCurrentFollowsTheFirstDrivingThread) {
  const auto onOtherThread = [this] {
    bool current = false;
    std::thread([&] { current = loop.isCurrent(); }).join();
    return current;
  };
  EXPECT_TRUE(loop.isCurrent());
  EXPECT_TRUE(onOtherThread());
  loop.runUntilIdle();
  EXPECT_TRUE(loop.isCurrent());
  EXPECT_FALSE(onOtherThread());

  RunLoop other(clock);
  std::thread([&other] { other.runFor(1s); }).join();
  EXPECT_FALSE(other.isCurrent());
}

TEST_F(RunLoopTest, NewClockKeepsTheDueTimesOfPendingTimers) {
  loop.asyncAfter(5s, [this] { log.push_back(std::to_string(loop.now() / 1ms)); });
  auto later = std::make_shared<ManualClock>(4s);
  loop.setClock(later);
  EXPECT_EQ(loop.clock(), later);
  EXPECT_EQ(loop.now(), 4s);
  loop.runFor(999ms);
  EXPECT_TRUE(log.empty());
  loop.runFor(1ms);
  EXPECT_EQ(log, (std::vector<std::string>{"5000"}));

  loop.setClock(nullptr);  // back to real time
  EXPECT_NE(std::dynamic_pointer_cast<SteadyClock>(loop.clock()), nullptr);
}

TEST_F(RunLoopTest, EmptyTasksAreIgnored) {
  loop.async(nullptr);
  loop.asyncAfter(1s, nullptr);
  Timer timer = loop.scheduleTimer(1s, true, nullptr);
  EXPECT_FALSE(timer.isValid());
  EXPECT_EQ(loop.drain(), std::nullopt);
}

TEST(RunLoopRealClockTest, RunUntilWaitsForATimer) {
  RunLoop loop;  // steady clock
  bool fired = false;
  loop.asyncAfter(20ms, [&fired] { fired = true; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(loop.runUntil([&] { return fired; }, 10s));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

TEST(RunLoopRealClockTest, ScaledClockRunsTenTimesFaster) {
  RunLoop loop(std::make_shared<ScaledClock>(10.0));
  int firings = 0;
  Timer timer = loop.scheduleTimer(100ms, true, [&firings] { ++firings; });
  const auto start = std::chrono::steady_clock::now();
  loop.runFor(1s);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 95ms);
  EXPECT_LT(elapsed, 1s);
  EXPECT_GE(loop.now(), 1s);
  EXPECT_GE(firings, 8);  // a busy machine may make it skip one
  EXPECT_LE(firings, 10);
}

TEST(RunLoopMainTest, IsOneSteadyLoop) {
  RunLoop& main = RunLoop::main();
  EXPECT_EQ(&main, &RunLoop::main());
  EXPECT_NE(std::dynamic_pointer_cast<SteadyClock>(main.clock()), nullptr);
  bool ran = false;
  main.async([&ran] { ran = true; });
  main.runUntilIdle();
  EXPECT_TRUE(ran);
  main.reset();
}

}  // namespace
}  // namespace telvora
