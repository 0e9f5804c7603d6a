#include "platform/runloop/WorkQueue.hpp"

#include <pthread.h>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace telvora {

struct WorkQueue::State {
  std::string name;
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> tasks;
  bool stopping = false;

  void work() {
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return stopping || !tasks.empty(); });
        if (stopping) return;
        task = std::move(tasks.front());
        tasks.pop_front();
      }
      task();
    }
  }
};

WorkQueue::WorkQueue(std::string name) : state_(std::make_shared<State>()) {
  state_->name = std::move(name);
  worker_ = std::thread([state = state_] { state->work(); });
}

WorkQueue::~WorkQueue() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    dropped.swap(state_->tasks);
  }
  state_->wake.notify_all();
  if (worker_.get_id() == std::this_thread::get_id()) {
    worker_.detach();  // destroyed by one of its own tasks; the worker keeps the state
  } else if (worker_.joinable()) {
    worker_.join();
  }
  // `dropped` is destroyed here, outside the lock: a task's captures may
  // post elsewhere when they go.
}

WorkQueue& WorkQueue::utility() {
  // Never destroyed: tasks may be posted to it during static destruction.
  static WorkQueue* const queue = new WorkQueue("telvora.utility");
  return *queue;
}

void WorkQueue::async(std::function<void()> task) {
  if (!task) return;
  // The task may destroy this queue as soon as it is in: touch only the state.
  const std::shared_ptr<State> state = state_;
  {
    std::lock_guard lock(state->mutex);
    if (state->stopping) return;
    state->tasks.push_back(std::move(task));
  }
  state->wake.notify_one();
}

bool WorkQueue::isCurrent() const {
  return std::this_thread::get_id() == worker_.get_id();
}

}  // namespace telvora
