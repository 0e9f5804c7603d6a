#include "views/ViewsManager.hpp"

#include "OverlayTest.hpp"

#include <chrono>
#include <limits>
#include <vector>

namespace telvora {
namespace {

using namespace std::chrono_literals;
using Position = PreAdNotification::Position;
using SkipDisplay = AdConfig::SkipDisplay;

// The shipped notice is 220 by 44. A 640 by 360 video view has 8-point
// margins: its guide spans x 8...632 and y 8...352.
class ViewsManagerTest : public test::OverlayTest {
 protected:
  std::shared_ptr<View> videoView = std::make_shared<View>(Rect{0, 0, 640, 360});
  std::shared_ptr<TelvoraAVPlayer> player = std::make_shared<TelvoraAVPlayer>(nullptr, videoView);
  std::shared_ptr<ViewsManager> manager = ViewsManager::create();

  static void run() { RunLoop::main().runUntilIdle(); }
  std::size_t shown() const { return videoView->subviews().size(); }
  bool isShown(const std::shared_ptr<View>& view) const {
    return view && view->superview() == videoView;
  }
};

TEST_F(ViewsManagerTest, PlacesEachOverlayAgainstTheVideoViewsMargins) {
  manager->addCoverView(videoView);
  manager->addSkipView(player, SkipDisplay::countDownBeforeShow, 5, "Skip ad", [] {});
  manager->addCloseView(videoView, [] {});
  run();

  const auto& cover = manager->coverView();
  EXPECT_EQ(cover->frame, (Rect{0, 0, 640, 640}));
  EXPECT_EQ(cover->backgroundColor, Color::black());
  EXPECT_EQ(cover->layer.zPosition, 0);

  const auto& skip = manager->skipView();
  ASSERT_TRUE(isShown(skip));
  EXPECT_FALSE(skip->translatesAutoresizingMaskIntoConstraints);
  EXPECT_EQ(skip->frame, (Rect{532, 328, 100, 24}));
  EXPECT_EQ(skip->layer.zPosition, std::numeric_limits<float>::max());

  const auto& close = manager->closeView();
  ASSERT_TRUE(isShown(close));
  EXPECT_EQ(close->frame, (Rect{8, 8, 25, 25}));
  EXPECT_EQ(close->closeButton.lock()->layer.zPosition, std::numeric_limits<float>::max());

  // A cover added again for the next break is the same view, back on top.
  manager->addCoverView(videoView);
  run();
  EXPECT_EQ(videoView->subviews().back(), cover);
  EXPECT_EQ(shown(), 3u);
}

TEST_F(ViewsManagerTest, PutsTheNoticeInEachCorner) {
  const struct {
    Position position;
    Rect frame;
  } cases[] = {
      {Position::top_left, {8, 18, 220, 44}},         // top 10 below the guide's top
      {Position::top_right, {412, 18, 220, 44}},      // right edge on the guide's right
      {Position::bottom_right, {412, 318, 220, 44}},  // bottom 10 below the guide's bottom
      {Position::bottom_left, {8, 318, 220, 44}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.position));
    manager->addPreAdNotificationView(5, videoView, c.position, std::nullopt);
    run();
    const auto& notice = manager->preAdNotificationView();
    ASSERT_TRUE(isShown(notice));
    EXPECT_EQ(notice->frame, c.frame);
    EXPECT_EQ(shown(), 1u);  // the earlier notice left the screen
  }
}

TEST_F(ViewsManagerTest, TheNoticeCountsDownWholeSecondsAndShowsItsText) {
  manager->addPreAdNotificationView(4.9, videoView, Position::top_right, "Ad in a moment");
  EXPECT_TRUE(manager->preAdNotificationViewIsActive());  // at once, before the work runs
  EXPECT_EQ(shown(), 0u);
  run();
  const auto notice = manager->preAdNotificationView();
  ASSERT_TRUE(isShown(notice));
  const auto countdown = notice->countdownTimer.lock();
  EXPECT_EQ(countdown->currentValue(), 4);
  EXPECT_EQ(notice->textLabel.lock()->text, "Ad in a moment");
  RunLoop::main().runFor(1s);
  EXPECT_EQ(countdown->currentValue(), 3);

  manager->removePreAdNotificationView();
  EXPECT_FALSE(manager->preAdNotificationViewIsActive());
  run();
  EXPECT_FALSE(manager->preAdNotificationView());
  EXPECT_EQ(shown(), 0u);
  EXPECT_FALSE(countdown->isCounting());

  // Without a text the file's own text stays; a broken duration counts from 0.
  manager->addPreAdNotificationView(std::numeric_limits<double>::quiet_NaN(), videoView,
                                    Position::bottom_left, std::nullopt);
  run();
  EXPECT_EQ(manager->preAdNotificationView()->textLabel.lock()->text, "Ad starting soon");
  EXPECT_EQ(manager->preAdNotificationView()->countdownTimer.lock()->currentValue(), 0);
  manager->addPreAdNotificationView(1e300, videoView, Position::bottom_left, std::nullopt);
  run();
  EXPECT_EQ(manager->preAdNotificationView()->countdownTimer.lock()->currentValue(),
            std::numeric_limits<std::int64_t>::max());
}

TEST_F(ViewsManagerTest, ViewWorkRunsOnTheMainQueueInCallOrder) {
  std::vector<std::size_t> seen;
  const auto probe = [&] { RunLoop::main().async([&] { seen.push_back(shown()); }); };

  manager->addPreAdNotificationView(5, videoView, Position::top_left, std::nullopt);
  probe();
  manager->removePreAdNotificationView();
  probe();
  manager->addCloseView(videoView, [] {});
  manager->addCoverView(videoView);
  probe();
  manager->removeCoverView();
  manager->removeCloseView();
  probe();
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(shown(), 0u);
  run();
  // The notice was shown and taken away, then close and cover likewise.
  EXPECT_EQ(seen, (std::vector<std::size_t>{1, 0, 2, 0}));
  EXPECT_FALSE(manager->preAdNotificationViewIsActive());
}

TEST_F(ViewsManagerTest, ASecondAddReplacesTheViewOnScreen) {
  manager->addSkipView(player, SkipDisplay::hideBeforeShow, 0, "first", [] {});
  manager->addPreAdNotificationView(5, videoView, Position::top_left, "first");
  manager->addCloseView(videoView, [] {});
  run();
  const auto firstSkip = manager->skipView();
  const auto firstNotice = manager->preAdNotificationView();
  const auto firstClose = manager->closeView();
  const auto firstCountdown = firstNotice->countdownTimer.lock();

  manager->addSkipView(player, SkipDisplay::hideBeforeShow, 0, "second", [] {});
  manager->addPreAdNotificationView(5, videoView, Position::top_left, "second");
  manager->addCloseView(videoView, [] {});
  run();
  for (const auto& first : std::vector<std::shared_ptr<View>>{firstSkip, firstNotice, firstClose}) {
    EXPECT_FALSE(first->superview());
  }
  EXPECT_FALSE(firstCountdown->isCounting());
  EXPECT_EQ(manager->skipView()->textLabel.lock()->text, "second");
  EXPECT_EQ(shown(), 3u);

  manager->removeSkipView();
  manager->removePreAdNotificationView();
  manager->removeCloseView();
  run();
  EXPECT_EQ(shown(), 0u);  // nothing stale left over the content
}

TEST_F(ViewsManagerTest, DrivesTheSkipViewItShows) {
  int skips = 0;
  manager->updeteCounDounTime(0);  // no skip view yet: nothing
  manager->unblockSkipViewGreyStyle();
  manager->addSkipView(player, SkipDisplay::countDownBeforeShow, 5, "Passer", [&] { ++skips; });
  run();
  const auto skip = manager->skipView();
  ASSERT_TRUE(skip);
  EXPECT_EQ(skip->textLabel.lock()->text, "Passer");
  EXPECT_EQ(skip->timerLabel.lock()->text, "5");

  manager->updeteCounDounTime(3);  // acts at once, not queued
  EXPECT_EQ(skip->timerLabel.lock()->text, "3");
  tap(*skip);
  EXPECT_EQ(skips, 0);
  manager->updeteCounDounTime(0);
  EXPECT_FALSE(skip->ignoreSkip());
  tap(*skip);
  EXPECT_EQ(skips, 1);

  manager->removeSkipView();
  run();
  manager->updeteCounDounTime(2);  // gone: nothing
  EXPECT_EQ(skip->counDouwnTime(), 0);
}

TEST_F(ViewsManagerTest, RemovingWhatIsNotShownDoesNothing) {
  manager->removeSkipView();
  manager->removeCloseView();
  manager->removeCoverView();
  manager->removePreAdNotificationView();
  EXPECT_FALSE(manager->preAdNotificationViewIsActive());
  run();
  EXPECT_EQ(shown(), 0u);
}

TEST_F(ViewsManagerTest, ShowsNothingWhenTheInterfaceFileGivesNoView) {
  Bundle::setLibrary(Bundle::withFiles({
      {"SkipView.json", R"({"objects": [{"class": "View"}]})"},
      {"TLCloseView.json", "{"},
  }));
  manager->addSkipView(player, SkipDisplay::hideBeforeShow, 0, "Skip ad", [] {});
  manager->addCloseView(videoView, [] {});
  manager->addPreAdNotificationView(5, videoView, Position::top_left, std::nullopt);
  run();
  EXPECT_FALSE(manager->skipView());
  EXPECT_FALSE(manager->closeView());
  EXPECT_FALSE(manager->preAdNotificationView());
  EXPECT_EQ(shown(), 0u);
  manager->updeteCounDounTime(0);
  manager->unblockSkipViewGreyStyle();
}

TEST_F(ViewsManagerTest, QueuedWorkDoesNothingOnceTheManagerOrTheParentIsGone) {
  manager->addCoverView(videoView);
  manager->addSkipView(player, SkipDisplay::hideBeforeShow, 0, "Skip ad", [] {});
  manager->addCloseView(videoView, [] {});
  manager->addPreAdNotificationView(5, videoView, Position::top_left, std::nullopt);
  manager.reset();
  run();
  EXPECT_EQ(shown(), 0u);

  manager = ViewsManager::create();
  manager->addCloseView(videoView, [] {});
  manager->addSkipView(player, SkipDisplay::hideBeforeShow, 0, "Skip ad", [] {});
  std::weak_ptr<View> weakVideoView = videoView;
  player.reset();
  videoView.reset();
  run();
  EXPECT_TRUE(weakVideoView.expired());  // not kept alive by the queued work
  EXPECT_FALSE(manager->closeView());
  EXPECT_FALSE(manager->skipView());
}

}  // namespace
}  // namespace telvora
