#include <telvora/platform/Button.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace telvora {
namespace {

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { RunLoop::main().reset(); }
  void TearDown() override { RunLoop::main().reset(); }
};

TEST_F(ButtonTest, ATapSendsTheActionsInOrderInALaterTask) {
  auto button = std::make_shared<Button>();
  std::vector<std::string> log;
  button->addAction([&](Button& sender) { log.push_back(sender.title + " first"); });
  button->addAction([&](Button& sender) { log.push_back(sender.title + " second"); });
  button->title = "skip";

  button->tap();
  button->tap();
  EXPECT_TRUE(log.empty()) << "actions must not run inside tap()";
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(log,
            (std::vector<std::string>{"skip first", "skip second", "skip first", "skip second"}));
}

TEST_F(ButtonTest, ATapOffScreenOrOnAButtonGoneSinceDoesNothing) {
  int taps = 0;
  auto parent = std::make_shared<View>();
  auto button = std::make_shared<Button>();
  parent->addSubview(button);
  button->addAction([&](Button&) { ++taps; });

  button->hidden = true;
  button->tap();
  button->hidden = false;
  parent->hidden = true;
  button->tap();
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(taps, 0);

  parent->hidden = false;
  button->tap();
  parent.reset();
  button.reset();  // before the queued tap runs
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(taps, 0);
}

}  // namespace
}  // namespace telvora
