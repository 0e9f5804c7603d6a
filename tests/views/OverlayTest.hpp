#pragma once

#include <telvora/platform/Bundle.hpp>
#include <telvora/platform/Button.hpp>
#include <telvora/platform/Clock.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <gtest/gtest.h>

#include <memory>

namespace telvora::test {

// Main queue emptied and on a manual clock, library bundle back to the
// compiled-in files, for each test.
class OverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<ManualClock>());
    Bundle::setLibrary(nullptr);
  }
  void TearDown() override {
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<SteadyClock>());
    Bundle::setLibrary(nullptr);
  }

  // The first button in `view`'s subtree, parents before children.
  static std::shared_ptr<Button> buttonIn(const View& view) {
    for (const auto& child : view.subviews()) {
      if (auto button = std::dynamic_pointer_cast<Button>(child)) return button;
      if (auto button = buttonIn(*child)) return button;
    }
    return nullptr;
  }

  // Taps the first button of `view` as a user would and lets the tap arrive.
  static void tap(const View& view) {
    const auto button = buttonIn(view);
    ASSERT_TRUE(button);
    button->tap();
    RunLoop::main().runUntilIdle();
  }
};

}  // namespace telvora::test
