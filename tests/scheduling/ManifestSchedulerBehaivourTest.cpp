#include "scheduling/ManifestSchedulerBehaivour.hpp"

#include "EventLog.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace test;
using Type = CuePoint::CuePointType;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kTag = "http://ads/midroll";

StreamConfig cueConfig(std::optional<std::string> midrollTag = kTag) {
  StreamConfig config;
  config.breakingAdsMode = StreamConfig::Mode::cue;
  if (midrollTag) {
    config.midrollAdConfig = AdConfig();
    config.midrollAdConfig->vastUrl = midrollTag;
  }
  return config;
}

class ManifestSchedulerBehaivourTest : public ::testing::Test {
 protected:
  void create(StreamConfig config = cueConfig()) {
    behaviour =
        ManifestSchedulerBehaivour::create(std::move(config), log.handler(), parser,
                                           [this](double total) { totals.push_back(total); });
  }
  // What the manifest analysis does after reading a media playlist.
  void analysed(const std::vector<CuePoint>& cuePoints, double total = 600) {
    parser->manifestParsed(cuePoints, total);
  }

  EventLog log;
  std::vector<double> totals;
  std::shared_ptr<ManifestParser> parser = std::make_shared<ManifestParser>();
  std::shared_ptr<ManifestSchedulerBehaivour> behaviour;
};

TEST_F(ManifestSchedulerBehaivourTest, FollowsThePositionThroughOneBreak) {
  create();
  runTicks(*behaviour, log, {{120, 1, {}}});  // nothing analysed yet

  analysed({CuePoint(100, 70, Type::startAdd)});
  runTicks(*behaviour, log,
           {{200, 1, {wait(100)}},
            {115.5, 1, {wait(15.5)}},
            {115, 1, {prepare(30, 1000, kTag, 15)}},
            {100.5, 1, {prepare(30, 1000, kTag, 0.5)}},
            {100, 1, {start(30, 1000, kTag, 0)}},
            {80, 0.05, {start(10, 1000, kTag, -20)}},
            {70, 1, {start(0, 1000, kTag, -30)}},
            {69.9, 1, {wait(100000)}}});

  // Ticks go on regardless of pre-rolls and breaks shown.
  behaviour->ignoreEvents();
  behaviour->adFinished();
  runTicks(*behaviour, log, {{90, 1, {start(20, 1000, kTag, -10)}}});
}

TEST_F(ManifestSchedulerBehaivourTest, WaitsForTheBreakNearestThePlayhead) {
  create();
  // Listed as the analysis walks back from the playlist's end: nearest it first.
  analysed({CuePoint(100, 70, Type::startAdd), CuePoint(300, 250, Type::video),
            CuePoint(500, 480, Type::startAdd)});
  runTicks(*behaviour, log,
           {{700, 1, {wait(200)}},
            {400, 1, {wait(100)}},
            {310, 1, {prepare(50, 1000, kTag, 10)}},
            {260, 1, {start(10, 1000, kTag, -40)}},
            {200, 1, {wait(100)}},
            {10, 1, {wait(100000)}}});

  analysed({});
  runTicks(*behaviour, log, {{400, 1, {wait(100000)}}});
}

TEST_F(ManifestSchedulerBehaivourTest, EndMarkersStopTheAdsOnTheirSecond) {
  create(cueConfig(std::nullopt));
  analysed({CuePoint(0, 70, Type::endAdd), CuePoint(200, 70.2, Type::endAdd),
            CuePoint(100, 80, Type::startAdd), CuePoint(0, 81, Type::endAdd)});
  runTicks(*behaviour, log,
           {{69.4, 1, {wait(100000)}},
            {69.5, 1, {stopAd(), stopAd(), wait(100000)}},
            {70.49, 1, {stopAd(), stopAd(), wait(100000)}},
            {70.5, 1, {wait(100000)}},
            // A marker listed after the deciding break is not reached.
            {80.6, 1, {start(0.6, 1000, std::nullopt, -19.4)}},
            {110, 1, {prepare(20, 1000, std::nullopt, 10)}}});
}

TEST_F(ManifestSchedulerBehaivourTest, BrokenPositionsAndTimesAreHarmless) {
  create();
  analysed({CuePoint(0, kNaN, Type::endAdd), CuePoint(0, kInf, Type::endAdd),
            CuePoint(0, 1e300, Type::endAdd), CuePoint(100, 70, Type::startAdd)});
  runTicks(*behaviour, log,
           {{kNaN, 1, {wait(100000)}},
            {kInf, 1, {wait(kInf)}},
            {-kInf, 1, {wait(100000)}},
            {1e300, 1, {wait(1e300 - 100)}},
            {90, 1, {start(20, 1000, kTag, -10)}}});

  analysed({CuePoint(kNaN, kNaN, Type::startAdd), CuePoint(kInf, -kInf, Type::startAdd)});
  runTicks(*behaviour, log, {{50, 1, {start(kInf, 1000, kTag, -kInf)}}});
}

TEST_F(ManifestSchedulerBehaivourTest, TakesEachAnalysedPlaylistAndLetsGoOfTheParser) {
  create();
  analysed({CuePoint(100, 70, Type::startAdd)}, 612.5);
  EXPECT_EQ(totals, std::vector<double>{612.5});
  EXPECT_EQ(behaviour->cuePoints(), std::vector{CuePoint(100, 70, Type::startAdd)});
  EXPECT_EQ(behaviour->manifestParser(), parser);

  // A later behaviour takes the parser over; the first one hears nothing more.
  EventLog otherLog;
  auto other = ManifestSchedulerBehaivour::create(cueConfig(), otherLog.handler(), parser, nullptr);
  analysed({CuePoint(50, 40, Type::startAdd)}, 300);
  EXPECT_EQ(totals, std::vector<double>{612.5});
  EXPECT_EQ(other->cuePoints(), std::vector{CuePoint(50, 40, Type::startAdd)});
  EXPECT_EQ(behaviour->cuePoints(), std::vector{CuePoint(100, 70, Type::startAdd)});

  // Once released, its handler left in the parser does nothing.
  other.reset();
  analysed({}, 10);
  EXPECT_EQ(totals, std::vector<double>{612.5});
}

TEST(ManifestSchedulerBehaivour, WithoutAParserNeverAnswers) {
  EventLog log;
  auto behaviour = ManifestSchedulerBehaivour::create(cueConfig(), log.handler(), nullptr, nullptr);
  runTicks(*behaviour, log, {{100, 1, {}}});
}

}  // namespace
}  // namespace telvora
