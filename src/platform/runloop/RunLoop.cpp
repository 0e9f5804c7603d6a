#include <telvora/platform/RunLoop.hpp>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace telvora {
namespace {

using Task = RunLoop::Task;
using SteadyTime = std::chrono::steady_clock::time_point;

// A waiting loop wakes at least this often, so no wait is ever long enough to
// overflow the condition variable's arithmetic.
constexpr std::chrono::nanoseconds kLongestWait = std::chrono::hours(1);
// How often runFor() looks again at a clock that cannot say when it will
// reach a time.
constexpr std::chrono::nanoseconds kClockPollInterval = std::chrono::milliseconds(10);
constexpr ClockDuration kShortestRepeatInterval = std::chrono::milliseconds(1);

ClockDuration addSaturated(ClockDuration a, ClockDuration b) {
  using Rep = ClockDuration::rep;
  constexpr Rep kMax = std::numeric_limits<Rep>::max();
  constexpr Rep kMin = std::numeric_limits<Rep>::min();
  if (b.count() > 0 && a.count() > kMax - b.count()) return ClockDuration::max();
  if (b.count() < 0 && a.count() < kMin - b.count()) return ClockDuration::min();
  return a + b;
}

}  // namespace

namespace detail {

struct TimerState {
  std::weak_ptr<RunLoopState> loop;
  std::atomic<bool> valid{true};
  // The rest is guarded by the loop's mutex.
  Task task;  // empty while the task runs, and once the timer is done
  ClockDuration due{};
  ClockDuration interval{};
  bool repeats = false;
  bool scheduled = false;  // held in RunLoopState::timers
  std::uint64_t seq = 0;
  std::uint64_t epoch = 0;  // RunLoopState::epoch when scheduled; reset() moves it on
};

struct TimerKey {
  ClockDuration due;
  std::uint64_t seq;
  auto operator<=>(const TimerKey&) const = default;
};

// A posted task, or a timer that fell due and waits its turn behind the
// tasks posted before.
struct ReadyItem {
  Task task;
  std::shared_ptr<TimerState> timer;
};

struct RunLoopState : std::enable_shared_from_this<RunLoopState> {
  explicit RunLoopState(std::shared_ptr<Clock> c) : clock(std::move(c)) {}

  std::shared_ptr<Clock> currentClock() const {
    std::lock_guard lock(mutex);
    return clock;
  }

  void post(Task task) {
    if (!task) return;
    std::shared_ptr<const std::function<void()>> handler;
    {
      std::lock_guard lock(mutex);
      if (closed) return;  // `task` dies after the lock is released
      ready.push_back({std::move(task), nullptr});
      handler = wakeUpHandler;
    }
    wake.notify_all();
    if (handler) (*handler)();
  }

  std::shared_ptr<TimerState> schedule(ClockDuration interval, bool repeats, Task task) {
    auto timer = std::make_shared<TimerState>();
    timer->loop = weak_from_this();
    timer->repeats = repeats;
    timer->interval = std::max(interval, repeats ? kShortestRepeatInterval : ClockDuration::zero());
    timer->task = std::move(task);
    std::shared_ptr<const std::function<void()>> handler;
    {
      std::lock_guard lock(mutex);
      if (closed || !timer->task) {
        timer->valid = false;
        return timer;
      }
      timer->seq = nextSeq++;
      timer->epoch = epoch;
      timer->due = addSaturated(clock->now(), timer->interval);
      insertLocked(timer);
      handler = wakeUpHandler;
    }
    wake.notify_all();
    if (handler) (*handler)();
    return timer;
  }

  void cancel(TimerState& timer) {
    Task dropped;
    std::lock_guard lock(mutex);
    timer.valid = false;
    if (timer.scheduled) {
      timers.erase(TimerKey{timer.due, timer.seq});
      timer.scheduled = false;
    }
    dropped = std::exchange(timer.task, nullptr);
  }

  // Drops every pending task and timer; with `close`, for good.
  void clear(bool close) {
    std::deque<ReadyItem> droppedReady;
    std::map<TimerKey, std::shared_ptr<TimerState>> droppedTimers;
    std::vector<Task> droppedTasks;
    std::shared_ptr<const std::function<void()>> droppedHandler;
    {
      std::lock_guard lock(mutex);
      closed = closed || close;
      ++epoch;
      stopRequested = false;
      droppedReady.swap(ready);
      droppedTimers.swap(timers);
      for (auto& [key, timer] : droppedTimers) {
        timer->scheduled = false;
        timer->valid = false;
        droppedTasks.push_back(std::exchange(timer->task, nullptr));
      }
      for (auto& item : droppedReady) {
        if (!item.timer) continue;
        item.timer->valid = false;
        droppedTasks.push_back(std::exchange(item.timer->task, nullptr));
      }
      if (close) droppedHandler = std::exchange(wakeUpHandler, nullptr);
    }
    wake.notify_all();
  }

  void bindToThisThread() {
    std::thread::id unbound;
    driver.compare_exchange_strong(unbound, std::this_thread::get_id());
  }

  // Runs the next ready task, or the next timer due by `dueBy` (and by the
  // clock). False when there is nothing to run.
  bool runNext(ClockDuration dueBy) {
    std::unique_lock lock(mutex);
    for (;;) {
      if (closed) return false;
      if (ready.empty()) collectDueLocked(dueBy);
      if (ready.empty()) return false;
      ReadyItem item = std::move(ready.front());
      ready.pop_front();
      if (!item.timer) {
        lock.unlock();
        item.task();
        return true;
      }
      TimerState& timer = *item.timer;
      if (!timer.valid || !timer.task) continue;  // invalidated while it waited
      Task task = std::exchange(timer.task, nullptr);
      if (!timer.repeats) timer.valid = false;
      lock.unlock();
      task();
      lock.lock();
      if (timer.repeats && timer.valid && timer.epoch == epoch && !closed) {
        timer.due = nextDueLocked(timer);
        timer.task = std::move(task);
        insertLocked(item.timer);
      } else {
        timer.valid = false;
      }
      lock.unlock();  // `task`, if the timer is done with it, dies unlocked
      return true;
    }
  }

  std::size_t runUntilIdle() {
    bindToThisThread();
    const ClockDuration dueBy = currentClock()->now();
    std::size_t count = 0;
    while (runNext(dueBy))
      ++count;
    return count;
  }

  // Runs work as it comes, waiting for more, until `done` answers true,
  // stop() is honoured, the real `deadline` passes or the clock reaches
  // `target`.
  void drive(const std::function<bool()>* done, std::optional<SteadyTime> deadline,
             std::optional<ClockDuration> target, bool honourStop) {
    bindToThisThread();
    for (;;) {
      if (done && *done && (*done)()) return;
      {
        std::lock_guard lock(mutex);
        if (closed) return;
        if (honourStop && stopRequested) {
          stopRequested = false;
          return;
        }
      }
      if (runNext(ClockDuration::max())) continue;

      std::unique_lock lock(mutex);
      if (closed || (honourStop && stopRequested) || !ready.empty()) continue;
      const ClockDuration now = clock->now();
      if (target && now >= *target) return;
      if (!timers.empty() && timers.begin()->first.due <= now) continue;

      std::chrono::nanoseconds wait = kLongestWait;
      const auto shorten = [&wait](std::chrono::nanoseconds d) { wait = std::min(wait, d); };
      if (!timers.empty()) {
        if (auto d = clock->realDelayUntil(timers.begin()->first.due)) shorten(*d);
      }
      if (target) shorten(clock->realDelayUntil(*target).value_or(kClockPollInterval));
      if (deadline) {
        const SteadyTime realNow = std::chrono::steady_clock::now();
        if (realNow >= *deadline) return;
        shorten(*deadline - realNow);
      }
      wake.wait_for(lock, wait);
    }
  }

  void runFor(ClockDuration d) {
    bindToThisThread();
    const ClockDuration target = addSaturated(currentClock()->now(), std::max(d, ClockDuration{}));
    runUntilIdle();
    for (;;) {
      std::shared_ptr<ManualClock> manual;
      std::optional<ClockDuration> next;
      {
        std::lock_guard lock(mutex);
        if (closed) return;
        manual = std::dynamic_pointer_cast<ManualClock>(clock);
        if (!timers.empty()) next = timers.begin()->first.due;
      }
      if (!manual) break;  // a real clock (now, or installed by a task)
      if (!next || *next > target) {
        manual->set(target);
        runUntilIdle();
        return;
      }
      manual->set(*next);
      runUntilIdle();
    }
    drive(nullptr, std::nullopt, target, false);
  }

  std::optional<ClockDuration> drain() {
    runUntilIdle();
    std::lock_guard lock(mutex);
    if (!ready.empty()) return ClockDuration::zero();
    if (timers.empty()) return std::nullopt;
    return std::max(timers.begin()->first.due - clock->now(), ClockDuration::zero());
  }

  void insertLocked(const std::shared_ptr<TimerState>& timer) {
    timers.emplace(TimerKey{timer->due, timer->seq}, timer);
    timer->scheduled = true;
  }

  void collectDueLocked(ClockDuration dueBy) {
    const ClockDuration limit = std::min(dueBy, clock->now());
    while (!timers.empty() && timers.begin()->first.due <= limit) {
      auto node = timers.extract(timers.begin());
      node.mapped()->scheduled = false;
      ready.push_back({nullptr, std::move(node.mapped())});
    }
  }

  // The first of due + k * interval (k >= 1) after now: a repeating timer
  // that fell behind skips the firings it missed, the late one standing in
  // for them.
  ClockDuration nextDueLocked(const TimerState& timer) const {
    const ClockDuration now = clock->now();
    if (now < timer.due) return addSaturated(timer.due, timer.interval);  // clock replaced
    const ClockDuration behind = (now - timer.due) / timer.interval * timer.interval;
    return addSaturated(addSaturated(timer.due, behind), timer.interval);
  }

  mutable std::mutex mutex;
  std::condition_variable wake;
  std::shared_ptr<Clock> clock;
  std::deque<ReadyItem> ready;
  std::map<TimerKey, std::shared_ptr<TimerState>> timers;
  std::uint64_t nextSeq = 0;
  std::uint64_t epoch = 0;
  bool stopRequested = false;
  bool closed = false;
  std::shared_ptr<const std::function<void()>> wakeUpHandler;
  std::atomic<std::thread::id> driver{};
};

}  // namespace detail

Timer& Timer::operator=(Timer&& other) noexcept {
  if (this != &other) {
    invalidate();
    state_ = std::move(other.state_);
  }
  return *this;
}

Timer::~Timer() {
  invalidate();
}

void Timer::invalidate() {
  if (!state_) return;
  if (auto loop = state_->loop.lock()) {
    loop->cancel(*state_);
  } else {
    state_->valid = false;
  }
}

bool Timer::isValid() const {
  return state_ && state_->valid;
}

RunLoop::RunLoop(std::shared_ptr<Clock> clock)
    : state_(std::make_shared<detail::RunLoopState>(clock ? std::move(clock)
                                                          : std::make_shared<SteadyClock>())) {}

RunLoop::~RunLoop() {
  state_->clear(true);
}

RunLoop& RunLoop::main() {
  // Never destroyed: threads may still post to it while the process exits.
  static RunLoop* const loop = new RunLoop();
  return *loop;
}

void RunLoop::async(Task task) {
  state_->post(std::move(task));
}

void RunLoop::asyncAfter(ClockDuration delay, Task task) {
  state_->schedule(delay, false, std::move(task));
}

Timer RunLoop::scheduleTimer(ClockDuration interval, bool repeats, Task task) {
  return Timer(state_->schedule(interval, repeats, std::move(task)));
}

ClockDuration RunLoop::now() const {
  return state_->currentClock()->now();
}

std::shared_ptr<Clock> RunLoop::clock() const {
  return state_->currentClock();
}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
  if (!clock) clock = std::make_shared<SteadyClock>();
  {
    std::lock_guard lock(state_->mutex);
    std::swap(state_->clock, clock);
  }
  state_->wake.notify_all();  // a waiting loop works out its wait again
}

// The driving calls keep the state alive themselves, so a task may destroy
// the RunLoop that runs it.
void RunLoop::run() {
  auto state = state_;
  state->drive(nullptr, std::nullopt, std::nullopt, true);
}

void RunLoop::stop() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopRequested = true;
  }
  state_->wake.notify_all();
}

std::size_t RunLoop::runUntilIdle() {
  auto state = state_;
  return state->runUntilIdle();
}

bool RunLoop::runUntil(const std::function<bool()>& done, std::chrono::nanoseconds realTimeout) {
  auto state = state_;
  const SteadyTime start = std::chrono::steady_clock::now();
  std::optional<SteadyTime> deadline;
  if (realTimeout < SteadyTime::max() - start) deadline = start + realTimeout;
  state->drive(&done, deadline, std::nullopt, true);
  return done && done();
}

void RunLoop::runFor(ClockDuration d) {
  auto state = state_;
  state->runFor(d);
}

void RunLoop::setWakeUpHandler(std::function<void()> handler) {
  auto next = handler ? std::make_shared<const std::function<void()>>(std::move(handler)) : nullptr;
  std::lock_guard lock(state_->mutex);
  std::swap(state_->wakeUpHandler, next);  // the old one dies after the lock is released
}

std::optional<ClockDuration> RunLoop::drain() {
  auto state = state_;
  return state->drain();
}

bool RunLoop::isCurrent() const {
  const std::thread::id driver = state_->driver.load();
  return driver == std::thread::id() || driver == std::this_thread::get_id();
}

void RunLoop::reset() {
  state_->clear(false);
}

}  // namespace telvora
