#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace telvora {

// A serial background queue on one worker thread: tasks run one after the
// other in the order they were posted. Thread-safe.
//
// The library keeps two: utility() for file loads, and the HTTP client's
// callback queue. Destroying a queue lets the task under way finish, drops the
// ones still waiting and joins the worker; a queue may also be destroyed by
// one of its own tasks.
class WorkQueue {
 public:
  explicit WorkQueue(std::string name);
  ~WorkQueue();
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  // The utility-priority background queue (file loads).
  static WorkQueue& utility();

  void async(std::function<void()> task);
  // True on this queue's worker thread.
  bool isCurrent() const;

 private:
  struct State;
  std::shared_ptr<State> state_;  // shared with the worker, which may outlive the queue
  std::thread worker_;
};

}  // namespace telvora
