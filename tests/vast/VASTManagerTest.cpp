#include "vast/VASTManager.hpp"

#include <telvora/TelvoraLogs.hpp>
#include <telvora/platform/NotificationCenter.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace telvora {
namespace {

TelvoraVastList ads(std::initializer_list<std::int64_t> durations) {
  TelvoraVastList list;
  for (std::int64_t seconds : durations)
    list.push_back(std::make_shared<const TelvoraVast>(
        "<Ad id=\"" + std::to_string(seconds) + "\"></Ad>", seconds));
  return list;
}

std::vector<std::int64_t> durations(const VASTManager& manager) {
  std::vector<std::int64_t> seconds;
  for (const auto& ad : manager.telvoraVast())
    seconds.push_back(ad->duration());
  return seconds;
}

TEST(VASTManager, TheDocumentHeadIsTheFixedText) {
  EXPECT_EQ(VASTManager::vastStart.size(), 154u);
  EXPECT_TRUE(
      VASTManager::vastStart.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VAST "));
  EXPECT_TRUE(VASTManager::vastStart.ends_with("xsi:noNamespaceSchemaLocation=\"vast.xsd\">"));
}

TEST(VASTManager, FindBestPutsTheLongestAdThatFitsInFront) {
  struct Case {
    double target;
    std::vector<std::int64_t> order;
  };
  const Case cases[] = {
      {22, {20, 30, 15, 10}},        {40, {30, 20, 15, 10}}, {5, {10, 30, 20, 15}},
      {15, {15, 30, 20, 10}},        {30, {30, 20, 15, 10}}, {NAN, {10, 30, 20, 15}},
      {-INFINITY, {10, 30, 20, 15}},
  };
  for (const Case& c : cases) {
    VASTManager manager;
    manager.append(ads({30, 20, 15, 10}));
    manager.findBest(c.target);
    EXPECT_EQ(durations(manager), c.order) << c.target;
  }
  VASTManager empty;
  empty.findBest(10);
  EXPECT_TRUE(empty.telvoraVast().empty());
}

TEST(VASTManager, SortsLongestFirstKeepingTheOrderOfEqualAds) {
  VASTManager manager;
  manager.append(ads({10, 30, 20}));
  const auto firstTwenty = std::make_shared<const TelvoraVast>("<Ad>a</Ad>", 20);
  manager.append({firstTwenty});
  manager.sortLongestFirst();
  EXPECT_EQ(durations(manager), (std::vector<std::int64_t>{30, 20, 20, 10}));
  EXPECT_NE(manager.telvoraVast()[1], firstTwenty);
  EXPECT_EQ(manager.telvoraVast()[2], firstTwenty);
}

TEST(VASTManager, WrapsTheFirstAdAsADocument) {
  VASTManager manager;
  EXPECT_EQ(manager.getBestVast(), std::string(VASTManager::vastStart) + "</VAST>");
  manager.append(ads({15, 30}));
  EXPECT_EQ(manager.getBestVast(),
            std::string(VASTManager::vastStart) + "<Ad id=\"15\"></Ad></VAST>");
  EXPECT_EQ(manager.telvoraVast().size(), 2u);
  manager.removeFirst();
  manager.removeFirst();
  manager.removeFirst();
  EXPECT_TRUE(manager.telvoraVast().empty());
}

TEST(VASTManager, TellsTheDebugRecordWhenTheCountChanges) {
  TelvoraLogs::clearLogs();
  std::vector<std::string> texts;
  auto observation = NotificationCenter::defaultCenter().addObserver(
      "updeteDebugInfo", [&](const Notification& notification) {
        texts.push_back(std::any_cast<std::string>(notification.userInfo.at("TelvoraLogs")));
      });
  VASTManager manager;
  manager.append(ads({10, 20, 30}));
  manager.append(ads({5, 15}));
  EXPECT_EQ(TelvoraLogs::shared()->prefetchetAds(), 5);
  EXPECT_EQ(TelvoraLogs::shared()->prefetchedAdsTime(), 80);
  EXPECT_EQ(manager.calculeVastDuration(), 80);
  const std::size_t posted = texts.size();
  EXPECT_EQ(posted, 4u);  // count, then total, for each append

  manager.sortLongestFirst();
  manager.findBest(12);
  EXPECT_EQ(texts.size(), posted);  // the same count: nothing to tell

  manager.removeFirst();
  EXPECT_EQ(texts.back(), "Ads Ready to Show:4\nAds Ready to Show Time:70\n");
  TelvoraLogs::clearLogs();
}

TEST(VASTManager, TheTotalSaturatesInsteadOfOverflowing) {
  VASTManager manager;
  manager.append(ads({std::numeric_limits<std::int64_t>::max(), 10}));
  EXPECT_EQ(manager.calculeVastDuration(), std::numeric_limits<std::int64_t>::max());
  TelvoraLogs::clearLogs();
}

}  // namespace
}  // namespace telvora
