#include "ads/AdsProvider.hpp"

#include <telvora/TelvoraLogs.hpp>
#include <telvora/platform/Application.hpp>
#include <telvora/platform/Clock.hpp>

#include "platform/adsdk/AdView.hpp"
#include "support/FakeContentPlayer.hpp"
#include "views/ViewsManager.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvora {
namespace {

using namespace std::chrono_literals;

// A single-ad record the reference SDK can play: an inline linear ad of
// `seconds`, without tracking.
std::shared_ptr<const TelvoraVast> ad(std::int64_t seconds) {
  const std::string mm = std::to_string(seconds / 60);
  const std::string ss = std::to_string(seconds % 60);
  return std::make_shared<const TelvoraVast>(
      "<Ad id=\"ad-" + std::to_string(seconds) + "\"><InLine><AdSystem>t</AdSystem><Creatives>" +
          "<Creative><Linear><Duration>00:" + (mm.size() < 2 ? "0" : "") + mm + ":" +
          (ss.size() < 2 ? "0" : "") + ss +
          "</Duration><MediaFiles><MediaFile type=\"video/mp4\">https://cdn.example.com/" +
          std::to_string(seconds) + ".mp4</MediaFile></MediaFiles></Linear></Creative>" +
          "</Creatives></InLine></Ad>",
      seconds);
}

TelvoraVastList ads(std::initializer_list<std::int64_t> durations) {
  TelvoraVastList list;
  for (std::int64_t seconds : durations)
    list.push_back(ad(seconds));
  return list;
}

std::string describe(const ProviderResult& result) {
  if (result) {
    switch (result.value().kind) {
      case AdsProviderState::Kind::adsLoaded:
        return "adsLoaded";
      case AdsProviderState::Kind::adsShowed:
        return "adsShowed";
      case AdsProviderState::Kind::stopAdsLoadingAfterSkip:
        return "stopAdsLoadingAfterSkip(" + std::to_string(result.value().seconds) + ")";
    }
  }
  const ProviderError& error = result.error();
  char duration[32];
  std::snprintf(duration, sizeof duration, "%g", error.duration);
  return std::string(error.kind == ProviderError::Kind::notEnoughAds ? "notEnoughAds"
                                                                     : "firstAddLoaded") +
         "(" + std::to_string(error.count) + ", " + duration + ")";
}

StreamConfig streamOf(std::optional<StreamConfig::Mode> mode) {
  StreamConfig stream;
  stream.breakingAdsMode = mode;
  return stream;
}

class AdsProviderTest : public testing::Test {
 protected:
  void SetUp() override {
    RunLoop::main().reset();
    clock = std::make_shared<ManualClock>();
    player = std::make_shared<test::FakeContentPlayer>();
    video = std::make_shared<View>(Rect{0, 0, 640, 360});
    avPlayer = std::make_shared<TelvoraAVPlayer>(player, video);
    views = ViewsManager::create();
    reports.clear();
    RunLoop::main().setClock(clock);
    TelvoraLogs::clearLogs();
    player->item = std::make_shared<test::FakePlayerItem>();
    provider = AdsProvider::create(avPlayer);
    provider->viewsManager = views;
    provider->completion = [this](ProviderResult result) { reports.push_back(describe(result)); };
    provider->streamConfig = streamOf(StreamConfig::Mode::interval);
    provider->videoType = VideoType::vod;
  }
  void TearDown() override {
    provider.reset();
    RunLoop::main().reset();
    TelvoraLogs::clearLogs();
  }

  // Sets up a break and starts it.
  void showBreak(double target, std::int64_t maxPods, std::initializer_list<std::int64_t> pool) {
    provider->targetDuration = target;
    provider->maxPods = maxPods;
    provider->addNewVast(ads(pool));
    reports.clear();
    provider->showAds();
  }
  void run(ClockDuration duration) { RunLoop::main().runFor(duration); }

  // The media file of the ad on screen, or "" with none.
  std::string adOnScreen() const {
    for (const auto& child : video->subviews())
      if (auto adView = std::dynamic_pointer_cast<AdView>(child)) return adView->mediaFileURL();
    return "";
  }

  std::shared_ptr<ManualClock> clock;
  std::shared_ptr<test::FakeContentPlayer> player;
  std::shared_ptr<View> video;
  std::shared_ptr<TelvoraAVPlayer> avPlayer;
  std::shared_ptr<ViewsManager> views;
  std::shared_ptr<AdsProvider> provider;
  std::vector<std::string> reports;
};

TEST_F(AdsProviderTest, ChecksWhetherThePoolFillsTheBreak) {
  struct Case {
    std::initializer_list<std::int64_t> pool;
    double target;
    std::int64_t maxPods;
    const char* report;
  };
  const Case cases[] = {
      {{20, 10}, 25, 3, "adsLoaded"},       {{10, 10}, 30, 3, "notEnoughAds(2, 20)"},
      {{10, 10}, 30, 2, "adsLoaded"},       {{}, 30, 3, "notEnoughAds(0, 0)"},
      {{30}, 30, 3, "notEnoughAds(1, 30)"},  // equal is not more
  };
  for (const Case& c : cases) {
    SetUp();
    provider->targetDuration = c.target;
    provider->maxPods = c.maxPods;
    provider->addNewVast(ads(c.pool));
    EXPECT_EQ(reports, std::vector<std::string>{c.report}) << c.target << " " << c.maxPods;
    reports.clear();
  }
}

TEST_F(AdsProviderTest, PlaysTheAdsThatFitOneAfterAnother) {
  provider->closeCompletion = [] {};
  showBreak(30, 3, {15, 15});
  run(1ms);
  EXPECT_EQ(adOnScreen(), "https://cdn.example.com/15.mp4");
  EXPECT_TRUE(views->closeView());
  EXPECT_EQ(player->calls, std::vector<std::string>{"pause"});  // on demand: paused
  run(15s);
  EXPECT_EQ(provider->targetDuration, 15.01);
  EXPECT_EQ(provider->maxPods, 2);
  EXPECT_EQ(adOnScreen(), "https://cdn.example.com/15.mp4");  // the second (15 < 15.01)
  EXPECT_TRUE(reports.empty());
  run(15s);
  // 0.02 s left and an empty pool: the break is over, the content resumes.
  EXPECT_EQ(reports, std::vector<std::string>{"adsShowed"});
  EXPECT_EQ(adOnScreen(), "");
  EXPECT_FALSE(views->closeView());
  EXPECT_FALSE(provider->adInProgress());
  EXPECT_EQ(player->calls, (std::vector<std::string>{"pause", "pause", "play"}));
}

TEST_F(AdsProviderTest, EndsTheBreakWhenNothingFitsOrNothingIsLeft) {
  struct Case {
    std::optional<StreamConfig::Mode> mode;
    double target;
    std::int64_t maxPods;
    std::initializer_list<std::int64_t> pool;
    const char* report;
    bool inProgress;
  };
  const Case cases[] = {
      {StreamConfig::Mode::interval, 30, 3, {30}, "adsShowed", false},  // as long as the break
      {StreamConfig::Mode::interval, 30, 0, {10}, "adsShowed", false},
      {StreamConfig::Mode::interval, 30, -1, {10}, "adsShowed", false},
      {StreamConfig::Mode::cue, 2.5, 1000, {2}, "adsShowed", false},
      {StreamConfig::Mode::interval, 20, 2, {}, "notEnoughAds(0, 0)", true},
      {StreamConfig::Mode::interval, 2.9, 2, {}, "adsShowed", false},
      {StreamConfig::Mode::cue, 2.9, 1000, {}, "adsShowed", false},
      {std::nullopt, 20, 2, {}, "notEnoughAds(0, 0)", true},
  };
  for (const Case& c : cases) {
    SetUp();
    provider->streamConfig = streamOf(c.mode);
    showBreak(c.target, c.maxPods, c.pool);
    run(1s);
    EXPECT_EQ(reports, std::vector<std::string>{c.report}) << c.target;
    EXPECT_EQ(provider->adInProgress(), c.inProgress) << c.target;
    EXPECT_EQ(adOnScreen(), "") << c.target;
  }
}

TEST_F(AdsProviderTest, InCueModeTheTimeTakenCountsNotTheDeclaredDuration) {
  provider->streamConfig = streamOf(StreamConfig::Mode::cue);
  provider->adCofig =
      AdConfig(true, 5.0f, {}, {}, {}, {}, {}, AdConfig::SkipDisplay::hideBeforeShow, {});
  showBreak(60, 1000, {30, 30});
  run(17400ms);
  ASSERT_TRUE(views->skipView());
  views->skipView()->skipAction(*std::make_shared<Button>());
  run(1ms);
  EXPECT_DOUBLE_EQ(provider->playedTime(), 17.4);
  EXPECT_DOUBLE_EQ(provider->targetDuration, 60 - 17.4);
}

TEST_F(AdsProviderTest, MutesLiveContentAndRestoresItsVolume) {
  provider->videoType = VideoType::live;
  player->setVolume(0.8f);
  player->calls.clear();
  showBreak(20, 1, {10});
  run(1ms);
  EXPECT_EQ(player->calls, std::vector<std::string>{"volume 0.000000"});  // not paused
  player->setVolume(0.3f);  // the app changes the volume meanwhile
  provider->saveVolume();   // a second save keeps the first value
  run(10s);
  EXPECT_EQ(reports, std::vector<std::string>{"adsShowed"});
  EXPECT_EQ(player->volume(), 0.8f);
  EXPECT_FALSE(provider->oldVolume());
}

TEST_F(AdsProviderTest, AfterAPreRollOnlyTheSecondSetVolumeResumesTheContent) {
  provider->isPreroll = true;
  showBreak(20, 1, {10});
  run(10s);
  EXPECT_EQ(reports, std::vector<std::string>{"adsShowed"});
  EXPECT_EQ(player->calls, std::vector<std::string>{"pause"});
  provider->setVolume();
  EXPECT_EQ(player->calls, (std::vector<std::string>{"pause", "play"}));
}

TEST_F(AdsProviderTest, StopAllAdsEndsTheBreakAndIsSafeWithoutOne) {
  provider->stopAllAds();
  provider->stopAllAds();
  EXPECT_EQ(reports, (std::vector<std::string>{"adsShowed", "adsShowed"}));

  showBreak(60, 3, {20, 20});
  run(5s);
  ASSERT_NE(adOnScreen(), "");
  provider->stopAllAds();
  run(1ms);
  EXPECT_EQ(reports, std::vector<std::string>{"adsShowed"});
  EXPECT_EQ(adOnScreen(), "");
  EXPECT_EQ(provider->vastManager().telvoraVast().size(), 1u);
  EXPECT_TRUE(provider->stopAds());
  run(60s);  // nothing more plays
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_EQ(adOnScreen(), "");
}

TEST_F(AdsProviderTest, AnAnswerForAnEndedBreakStartsNoAd) {
  showBreak(60, 3, {20});
  provider->stopAllAds();  // before the queued request has even run
  run(30s);
  EXPECT_EQ(adOnScreen(), "");
  EXPECT_EQ(reports, std::vector<std::string>{"adsShowed"});
}

TEST_F(AdsProviderTest, SkipsInEachDisplayMode) {
  struct Case {
    AdConfig::SkipDisplay mode;
    bool shownAtStart;
  };
  for (const Case& c : {Case{AdConfig::SkipDisplay::countDownBeforeShow, true},
                        Case{AdConfig::SkipDisplay::greyBeforeShow, true},
                        Case{AdConfig::SkipDisplay::hideBeforeShow, false}}) {
    SetUp();
    provider->adCofig = AdConfig(true, 5.0f, {}, {}, {}, {}, {}, c.mode, {});
    showBreak(40, 1, {30});
    run(1ms);
    const auto atStart = views->skipView();
    EXPECT_EQ(atStart != nullptr, c.shownAtStart);
    if (atStart) {
      EXPECT_TRUE(atStart->ignoreSkip());
      EXPECT_EQ(atStart->counDouwnTime(), 5);
      EXPECT_EQ(atStart->textLabel.lock()->text, "Skip ad");
    }
    run(3950ms);
    if (c.mode == AdConfig::SkipDisplay::countDownBeforeShow) {
      EXPECT_EQ(views->skipView()->counDouwnTime(), 2);
    }
    run(1100ms);  // past 5 s of the ad
    auto skipView = views->skipView();
    ASSERT_TRUE(skipView);
    EXPECT_FALSE(skipView->ignoreSkip());
    if (c.mode == AdConfig::SkipDisplay::countDownBeforeShow) {
      EXPECT_EQ(skipView->counDouwnTime(), 0);
    }

    skipView->skipAction(*std::make_shared<Button>());
    run(1ms);
    // Skipped: the ad is gone and, with no ad allowed after it, the break
    // ends; the check that follows the skip finds the (used-up) break filled.
    EXPECT_EQ(adOnScreen(), "");
    EXPECT_FALSE(views->skipView());
    EXPECT_EQ(reports, (std::vector<std::string>{"adsShowed", "adsLoaded"}));
    EXPECT_TRUE(provider->skipActivated());
  }
}

TEST_F(AdsProviderTest, NoSkipButtonWhenSkippingDoesNotApply) {
  struct Case {
    std::optional<bool> skip;
    std::optional<float> skipTimer;
    std::int64_t adSeconds;
  };
  for (const Case& c : {Case{true, 5.0f, 5}, Case{false, 5.0f, 30}, Case{std::nullopt, 5.0f, 30},
                        Case{true, std::nullopt, 30}}) {
    SetUp();
    provider->adCofig = AdConfig(c.skip, c.skipTimer, {}, {}, {}, {}, {}, {}, {});
    showBreak(40, 1, {c.adSeconds});
    run(4500ms);
    EXPECT_FALSE(views->skipView());
    run(2s);
    EXPECT_FALSE(views->skipView());
  }
}

TEST_F(AdsProviderTest, ATruncatedSkipTimeFirstThenTheRoundedUpRemainder) {
  provider->adCofig = AdConfig(true, 4.7f, {}, {}, {}, {}, {}, {}, std::string("Passer"));
  showBreak(40, 1, {30});
  run(1ms);
  ASSERT_TRUE(views->skipView());
  EXPECT_EQ(views->skipView()->counDouwnTime(), 4);
  EXPECT_EQ(views->skipView()->textLabel.lock()->text, "Passer");
  run(100ms);
  EXPECT_EQ(views->skipView()->counDouwnTime(), 5);
}

TEST_F(AdsProviderTest, CloseDestroysTheAdAndCallsTheAppBack) {
  int closed = 0;
  provider->closeCompletion = [&] { ++closed; };
  showBreak(40, 2, {30});
  run(2s);
  ASSERT_TRUE(views->closeView());
  views->closeView()->closeAction(*std::make_shared<Button>());
  run(60s);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(adOnScreen(), "");
  EXPECT_TRUE(reports.empty());  // the break's state is the app's to decide
  EXPECT_TRUE(provider->adInProgress());

  SetUp();  // without a close callback there is no close button
  showBreak(40, 2, {30});
  run(2s);
  EXPECT_FALSE(views->closeView());
}

TEST_F(AdsProviderTest, ResumesAPausedAdWhenTheAppComesBack) {
  showBreak(40, 1, {30});
  run(10s);
  provider->adsManager()->pause();
  run(10s);
  EXPECT_DOUBLE_EQ(provider->adsManager()->adPlaybackInfo().currentMediaTime, 10);
  NotificationCenter::defaultCenter().post(Application::willEnterForegroundNotification);
  run(5s);
  EXPECT_DOUBLE_EQ(provider->adsManager()->adPlaybackInfo().currentMediaTime, 15);
}

TEST_F(AdsProviderTest, RecordsWhyTheContentFailed) {
  UserInfo info;
  info.emplace(std::string(ContentPlayer::failedToPlayToEndTimeErrorKey),
               std::string("The network connection was lost."));
  NotificationCenter::defaultCenter().post(ContentPlayer::failedToPlayToEndTimeNotification,
                                           nullptr, info);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(TelvoraLogs::shared()->internetError(), "The network connection was lost.");
  NotificationCenter::defaultCenter().post(ContentPlayer::failedToPlayToEndTimeNotification);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(TelvoraLogs::shared()->internetError(), std::nullopt);
}

}  // namespace
}  // namespace telvora
