#include "platform/runloop/WorkQueue.hpp"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

namespace telvora {
namespace {

TEST(WorkQueue, RunsTasksInOrderOnItsOwnThread) {
  WorkQueue queue("test.queue");
  std::vector<int> order;
  std::promise<std::thread::id> worker;
  for (int i = 0; i < 100; ++i)
    queue.async([&order, i] { order.push_back(i); });
  queue.async([&] {
    EXPECT_TRUE(queue.isCurrent());
    worker.set_value(std::this_thread::get_id());
  });
  EXPECT_NE(worker.get_future().get(), std::this_thread::get_id());
  EXPECT_FALSE(queue.isCurrent());
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(order[i], i);
}

TEST(WorkQueue, MayBeDestroyedByItsOwnTask) {
  auto* queue = new WorkQueue("test.self");
  std::promise<void> done;
  queue->async([queue, &done] {
    delete queue;
    done.set_value();
  });
  done.get_future().get();
  // The worker ends on its own; nothing it touches has gone away.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

TEST(WorkQueue, DestructionDropsWaitingTasks) {
  std::atomic<int> ran = 0;
  std::promise<void> started;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::thread releaser;
  {
    WorkQueue queue("test.drop");
    queue.async([&] {
      started.set_value();
      released.wait();
      ++ran;
    });
    for (int i = 0; i < 10; ++i)
      queue.async([&] { ++ran; });
    started.get_future().wait();
    releaser = std::thread([&release] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      release.set_value();
    });
  }  // waits for the task under way
  releaser.join();
  EXPECT_EQ(ran, 1);  // the rest were dropped
}

}  // namespace
}  // namespace telvora
