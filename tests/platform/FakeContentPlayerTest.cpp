// The fake content player stands in for a real one in the session's tests,
// so it must keep the contract of the interface: observers at their interval
// on the queue they were added on, removal that sticks, rate changes told.
#include "support/FakeContentPlayer.hpp"

#include <telvora/ObservationType.hpp>

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(FakeContentPlayer, KeepsTheContentPlayerContract) {
  auto clock = std::make_shared<ManualClock>();
  RunLoop queue(clock);
  test::FakeContentPlayer player;
  player.item = std::make_shared<test::FakePlayerItem>();
  player.item->time = 12.5;

  std::vector<double> slowTicks, fastTicks;
  auto slow = player.addPeriodicTimeObserver(getInterval(ObservationType::slow), queue,
                                             [&](double t) { slowTicks.push_back(t); });
  player.addPeriodicTimeObserver(getInterval(ObservationType::fast), queue,
                                 [&](double t) { fastTicks.push_back(t); });
  queue.runFor(std::chrono::seconds(2));
  EXPECT_EQ(slowTicks, (std::vector<double>{12.5, 12.5}));
  EXPECT_EQ(fastTicks.size(), 40u);

  player.removeTimeObserver(slow);
  queue.runFor(std::chrono::seconds(1));
  EXPECT_EQ(slowTicks.size(), 2u);
  EXPECT_EQ(fastTicks.size(), 60u);

  std::vector<std::pair<float, float>> rates;
  player.addRateObserver([&](float from, float to) { rates.emplace_back(from, to); });
  player.play();
  player.play();  // no change, no call
  player.pause();
  EXPECT_EQ(rates, (std::vector<std::pair<float, float>>{{0.f, 1.f}, {1.f, 0.f}}));
}

}  // namespace
}  // namespace telvora
