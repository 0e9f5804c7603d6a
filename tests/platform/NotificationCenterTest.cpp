#include <telvora/platform/NotificationCenter.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace telvora {
namespace {

class NotificationCenterTest : public ::testing::Test {
 protected:
  NotificationCenter::Observation observe(std::string name, const void* sender, std::string tag) {
    return center.addObserver(std::move(name), sender,
                              [this, tag](const Notification&) { log.push_back(tag); });
  }

  NotificationCenter center;
  std::vector<std::string> log;
};

TEST_F(NotificationCenterTest, DeliversByNameAndSenderInRegistrationOrder) {
  const int first = 0;
  const int second = 0;
  auto a = observe("x", nullptr, "A");
  auto b = observe("x", &first, "B");
  auto c = observe("y", nullptr, "C");
  auto d = observe("x", &second, "D");
  auto e = observe("x", nullptr, "E");

  const struct {
    std::string name;
    const void* object;
    std::vector<std::string> called;
  } cases[] = {
      {"x", nullptr, {"A", "E"}},
      {"x", &first, {"A", "B", "E"}},
      {"x", &second, {"A", "D", "E"}},
      {"y", &first, {"C"}},
      {"z", nullptr, {}},
      {"", nullptr, {}},
  };
  for (const auto& row : cases) {
    log.clear();
    center.post(row.name, row.object);
    EXPECT_EQ(log, row.called) << row.name;
  }
}

TEST_F(NotificationCenterTest, NotificationCarriesNameObjectAndUserInfo) {
  const int sender = 0;
  std::optional<Notification> seen;
  auto observation = center.addObserver("progress", [&seen](const Notification& n) { seen = n; });
  center.post("progress", &sender, {{"seconds", 12.5}, {"label", std::string("pre-roll")}});
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(seen->name, "progress");
  EXPECT_EQ(seen->object, &sender);
  EXPECT_EQ(std::any_cast<double>(seen->userInfo.at("seconds")), 12.5);
  EXPECT_EQ(std::any_cast<std::string>(seen->userInfo.at("label")), "pre-roll");
}

TEST_F(NotificationCenterTest, ObservationsRemoveThemselves) {
  auto byToken = observe("x", nullptr, "token");
  auto byCenter = observe("x", nullptr, "center");
  auto replaced = observe("x", nullptr, "replaced");
  std::optional<NotificationCenter::Observation> byDestruction = observe("x", nullptr, "scope");
  auto moved = observe("x", nullptr, "moved");
  EXPECT_TRUE(byToken.isActive());

  byToken.remove();
  byToken.remove();  // twice is harmless
  center.removeObserver(byCenter);
  replaced = observe("x", nullptr, "replacement");
  byDestruction.reset();
  NotificationCenter::Observation target(std::move(moved));
  EXPECT_FALSE(moved.isActive());
  EXPECT_FALSE(byToken.isActive());
  EXPECT_FALSE(byCenter.isActive());

  center.post("x");
  EXPECT_EQ(log, (std::vector<std::string>{"moved", "replacement"}));
  EXPECT_TRUE(target.isActive());
  EXPECT_FALSE(NotificationCenter::Observation().isActive());
}

TEST_F(NotificationCenterTest, RemovalAndAdditionDuringAPost) {
  NotificationCenter::Observation second;
  NotificationCenter::Observation self;
  NotificationCenter::Observation added;
  auto first = center.addObserver("x", [&](const Notification&) {
    log.push_back("first");
    second.remove();
    if (!added.isActive()) added = observe("x", nullptr, "added");
  });
  second = observe("x", nullptr, "second");
  self = center.addObserver("x", [&](const Notification&) {
    log.push_back("self");
    self.remove();  // its block stays alive until it returns
  });

  center.post("x");
  EXPECT_EQ(log, (std::vector<std::string>{"first", "self"}));
  log.clear();
  center.post("x");
  EXPECT_EQ(log, (std::vector<std::string>{"first", "added"}));
}

TEST_F(NotificationCenterTest, ObserverMayPostAgain) {
  auto outer = center.addObserver("outer", [&](const Notification&) {
    log.push_back("outer");
    center.post("inner");
  });
  auto inner = observe("inner", nullptr, "inner");
  center.post("outer");
  EXPECT_EQ(log, (std::vector<std::string>{"outer", "inner"}));
}

TEST(NotificationCenterLifetimeTest, ObservationOutlivingItsCenterIsHarmless) {
  auto captured = std::make_shared<int>(0);
  std::weak_ptr<int> watch = captured;
  NotificationCenter::Observation observation;
  {
    NotificationCenter center;
    observation = center.addObserver("x", [captured](const Notification&) {});
    captured.reset();
    EXPECT_TRUE(observation.isActive());
  }
  EXPECT_FALSE(observation.isActive());
  observation.remove();
  EXPECT_TRUE(watch.expired());
}

TEST(NotificationCenterLifetimeTest, EmptyBlockRegistersNothing) {
  NotificationCenter center;
  auto observation = center.addObserver("x", nullptr);
  EXPECT_FALSE(observation.isActive());
  center.post("x");
}

TEST(NotificationCenterLifetimeTest, DefaultCenterIsOneCenter) {
  EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
  int calls = 0;
  {
    auto observation = NotificationCenter::defaultCenter().addObserver(
        "test.default", [&calls](auto&) { ++calls; });
    NotificationCenter::defaultCenter().post("test.default");
  }
  NotificationCenter::defaultCenter().post("test.default");
  EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterThreadTest, ConcurrentAddPostAndRemove) {
  NotificationCenter center;
  constexpr int kPosters = 3;
  constexpr int kPosts = 2000;
  std::atomic<int> steadyCalls{0};
  std::atomic<int> churnCalls{0};
  auto steady = center.addObserver("tick", [&steadyCalls](const Notification&) { ++steadyCalls; });

  std::atomic<bool> posting{true};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&] {
      while (posting) {
        auto churn =
            center.addObserver("tick", [&churnCalls](const Notification&) { ++churnCalls; });
        auto other = center.addObserver("tock", [](const Notification&) {});
      }
    });
  }
  std::vector<std::thread> posters;
  for (int t = 0; t < kPosters; ++t) {
    posters.emplace_back([&center] {
      for (int i = 0; i < kPosts; ++i)
        center.post("tick", nullptr, {{"i", i}});
    });
  }
  for (auto& poster : posters)
    poster.join();
  posting = false;
  for (auto& thread : threads)
    thread.join();

  EXPECT_EQ(steadyCalls, kPosters * kPosts);
  const int churnSeen = churnCalls;
  center.post("tick");
  EXPECT_EQ(churnCalls, churnSeen);  // every churning observer is gone
  EXPECT_EQ(steadyCalls, kPosters * kPosts + 1);
}

}  // namespace
}  // namespace telvora
