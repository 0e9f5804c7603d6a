#pragma once

#include <telvora/platform/Clock.hpp>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

namespace telvora {

class RunLoop;
namespace detail {
struct TimerState;
struct RunLoopState;
}  // namespace detail

// A scheduled timer on a run loop. The handle owns the schedule: invalidate()
// or destroying the handle stops it. Move-only.
class [[nodiscard]] Timer {
 public:
  Timer() = default;
  Timer(Timer&& other) noexcept = default;
  Timer& operator=(Timer&& other) noexcept;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  // Thread-safe. Once it returns, the timer's task is not started again (a run
  // already under way on the loop's thread finishes).
  void invalidate();
  // True until invalidated, and for a one-shot timer until it has fired.
  bool isValid() const;

 private:
  friend class RunLoop;
  explicit Timer(std::shared_ptr<detail::TimerState> state) : state_(std::move(state)) {}
  std::shared_ptr<detail::TimerState> state_;
};

// A serial queue of tasks with timers, read off a Clock.
//
// The main queue, RunLoop::main(), owns all core state of the library: every
// core object is touched only from tasks running on it. Work arriving on other
// threads posts itself there with async().
//
// Thread safety: async(), asyncAfter(), scheduleTimer(), stop(), now() and the
// Timer handles may be used from any thread. The driving calls (run(),
// runUntilIdle(), runUntil(), runFor(), drain()) are made by one thread at a
// time: the loop's thread.
//
// Order: tasks run in the order they were posted. A timer's task runs when the
// clock reaches its due time, after the tasks already waiting; timers due at
// the same time run in the order they were scheduled. A repeating timer that
// falls behind skips the firings it missed rather than running them in a burst.
//
// Destroying a loop drops the work still pending; Timer handles may outlive
// it (they turn invalid). A task may destroy the loop that runs it.
class RunLoop {
 public:
  using Task = std::function<void()>;

  explicit RunLoop(std::shared_ptr<Clock> clock = nullptr);  // nullptr: a SteadyClock
  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  // The process-wide main queue. The host runs it on its main thread with
  // run(), or drives it from its own event loop (setWakeUpHandler + drain).
  static RunLoop& main();

  void async(Task task);
  void asyncAfter(ClockDuration delay, Task task);
  // Fires `task` after `interval`, and then every `interval` when `repeats`.
  // An interval below one millisecond is taken as one millisecond for a
  // repeating timer.
  Timer scheduleTimer(ClockDuration interval, bool repeats, Task task);

  ClockDuration now() const;
  std::shared_ptr<Clock> clock() const;
  // Replaces the clock (tests install a ManualClock, the demo a ScaledClock).
  // Pending timers keep their due times, read on the new clock.
  void setClock(std::shared_ptr<Clock> clock);

  // Runs until stop() is called.
  void run();
  // Makes run() (or runUntil()) return after the task under way. A stop()
  // made while neither runs makes the next one return at once.
  void stop();
  // Runs the tasks that are ready, those they post, and the timers due when
  // it was called, without waiting; returns how many ran.
  std::size_t runUntilIdle();
  // Runs tasks and timers as they come, waiting for new ones, until `done`
  // answers true or `realTimeout` of real time has passed. Returns done().
  bool runUntil(const std::function<bool()>& done, std::chrono::nanoseconds realTimeout);
  // Runs the loop for `d` of clock time. On a ManualClock this is instant:
  // the clock jumps from one due timer to the next, running each at its own
  // time (a repeating timer misses no firing), and ends `d` after it started.
  // On other clocks it waits. stop() does not end it.
  void runFor(ClockDuration d);

  // For a host that drives the queue from its own event loop: `handler` is
  // called, on any thread, whenever a task is posted or a timer is scheduled;
  // the host then calls drain() on its main thread. drain() runs what is ready
  // and due and returns the clock time until the next timer, if there is one,
  // so the host can arm its own timer for it.
  void setWakeUpHandler(std::function<void()> handler);
  std::optional<ClockDuration> drain();

  // True on the thread that drives this loop: the first thread that calls one
  // of the driving calls. Before any thread has driven it (a host may set up
  // before it runs the loop), every thread counts.
  bool isCurrent() const;

  // Drops every pending task and timer (their Timer handles turn invalid, a
  // repeating timer whose task is under way included) and any pending stop().
  // For tests, between cases.
  void reset();

 private:
  friend class Timer;
  std::shared_ptr<detail::RunLoopState> state_;
};

}  // namespace telvora
