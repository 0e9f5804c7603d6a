#include <telvora/platform/CircularCountdownView.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace telvora {
namespace {

using namespace std::chrono_literals;

class CircularCountdownViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<ManualClock>());
  }
  void TearDown() override {
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<SteadyClock>());
  }

  std::shared_ptr<CircularCountdownView> view = std::make_shared<CircularCountdownView>();
};

TEST_F(CircularCountdownViewTest, CountsDownOncePerStepAndStopsAtZero) {
  view->start(3, 1s);
  EXPECT_EQ(view->currentValue(), 3);
  RunLoop::main().runFor(999ms);
  EXPECT_EQ(view->currentValue(), 3);
  RunLoop::main().runFor(1ms);
  EXPECT_EQ(view->currentValue(), 2);
  RunLoop::main().runFor(2s);
  EXPECT_EQ(view->currentValue(), 0);
  EXPECT_FALSE(view->isCounting());
  RunLoop::main().runFor(5s);
  EXPECT_EQ(view->currentValue(), 0);
}

TEST_F(CircularCountdownViewTest, PausesAndStartsOver) {
  view->start(5, 500ms);
  RunLoop::main().runFor(1s);
  view->pause();
  EXPECT_EQ(view->currentValue(), 3);
  RunLoop::main().runFor(10s);
  EXPECT_EQ(view->currentValue(), 3);

  view->start(2, 1s);  // a new count, with its own step
  RunLoop::main().runFor(1s);
  EXPECT_EQ(view->currentValue(), 1);

  view->start(-4, 1s);
  EXPECT_EQ(view->currentValue(), 0);
  EXPECT_FALSE(view->isCounting());
}

TEST_F(CircularCountdownViewTest, StopsCountingWhenTheViewGoes) {
  view->start(5, 1s);
  std::weak_ptr<CircularCountdownView> weak = view;
  view.reset();
  EXPECT_TRUE(weak.expired());
  RunLoop::main().runFor(10s);  // the timer went with the view: nothing fires on a dead view
}

}  // namespace
}  // namespace telvora
