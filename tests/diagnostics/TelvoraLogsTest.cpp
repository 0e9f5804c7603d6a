#include <telvora/TelvoraLogs.hpp>

#include <telvora/platform/NotificationCenter.hpp>

#include <gtest/gtest.h>

#include <any>
#include <limits>
#include <string>
#include <vector>

namespace telvora {
namespace {

// Every "updeteDebugInfo" notification posted while it lives.
class Notifications {
 public:
  Notifications()
      : observation_(NotificationCenter::defaultCenter().addObserver(
            "updeteDebugInfo", [this](const Notification& notification) {
              senders.push_back(notification.object);
              texts.push_back(std::any_cast<std::string>(notification.userInfo.at("TelvoraLogs")));
            })) {}

  std::vector<const void*> senders;
  std::vector<std::string> texts;

 private:
  NotificationCenter::Observation observation_;
};

class TelvoraLogsTest : public testing::Test {
 protected:
  void SetUp() override { TelvoraLogs::clearLogs(); }
  void TearDown() override { TelvoraLogs::clearLogs(); }
};

TEST_F(TelvoraLogsTest, DescribesTheSetFieldsInOrderWithExactLabels) {
  auto logs = TelvoraLogs::shared();
  logs->setInternetError("The network connection was lost.");
  logs->setPrefetchedAdsTime(45);
  logs->setPrefetchetAds(3);
  logs->setCurentChunk(7);
  logs->setLive(false);
  logs->setAdMode("Interval");
  logs->setPos(-42);
  logs->setAdPos(15);
  logs->setCashedAds(2);
  logs->setAdCount(1);
  logs->setNextQueTime(12.5);
  EXPECT_EQ(logs->getDescription(),
            "Next Ad: 12.5\n"
            "AdCount: 1\n"
            "CashedAds: 2\n"
            "Ad Duration: 15.0\n"
            "Pos: 42\n"
            "Ad Mode: Interval\n"
            "Live:false\n"
            "CurentChunk:7\n"
            "Ads Ready to Show:3\n"
            "Ads Ready to Show Time:45\n"
            "Connection Error: The network connection was lost.\n");
}

TEST_F(TelvoraLogsTest, WritesNumbersInTheirShortestForm) {
  struct Case {
    double seconds;
    const char* text;
  };
  const Case doubles[] = {
      {15, "15.0"},         {7.5, "7.5"},         {0, "0.0"},
      {-3, "-3.0"},         {0.1, "0.1"},         {1.0 / 3, "0.3333333333333333"},
      {100000, "100000.0"}, {999999, "999999.0"}, {1e300, "1e+300"}};
  auto logs = TelvoraLogs::shared();
  for (const Case& c : doubles) {
    logs->setNextQueTime(c.seconds);
    EXPECT_EQ(logs->getDescription(), std::string("Next Ad: ") + c.text + "\n");
  }
  logs->setNextQueTime(std::nullopt);

  const std::pair<std::int64_t, const char*> positions[] = {
      {0, "Pos: 0\n"},
      {17, "Pos: -17\n"},
      {-42, "Pos: 42\n"},
      {std::numeric_limits<std::int64_t>::min(), "Pos: 9223372036854775808\n"}};
  for (const auto& [pos, text] : positions) {
    logs->setPos(pos);
    EXPECT_EQ(logs->getDescription(), text);
  }
}

TEST_F(TelvoraLogsTest, EveryAssignmentPostsTheSharedDescription) {
  Notifications notifications;
  auto logs = TelvoraLogs::shared();
  logs->setLive(true);
  logs->setLive(true);
  logs->setAdMode("Slots");
  logs->setLive(std::nullopt);
  EXPECT_EQ(notifications.texts,
            (std::vector<std::string>{"Live:true\n", "Live:true\n", "Ad Mode: Slots\nLive:true\n",
                                      "Ad Mode: Slots\n"}));
  EXPECT_EQ(notifications.senders, std::vector<const void*>(4, logs.get()));
}

TEST_F(TelvoraLogsTest, ClearLogsStartsAnEmptyRecordSilently) {
  TelvoraLogs::shared()->setAdMode("Cue Points");
  Notifications notifications;
  const auto before = TelvoraLogs::shared();
  TelvoraLogs::clearLogs();
  EXPECT_TRUE(notifications.texts.empty());
  EXPECT_NE(TelvoraLogs::shared(), before);
  EXPECT_EQ(TelvoraLogs::shared()->getDescription(), "");

  // A writer that kept the old record still posts, with the new record's text.
  before->setPos(5);
  EXPECT_EQ(notifications.texts, std::vector<std::string>{""});
}

}  // namespace
}  // namespace telvora
