#include "views/SkipView.hpp"

#include "OverlayTest.hpp"

#include <string>

namespace telvora {
namespace {

using SkipDisplay = AdConfig::SkipDisplay;

class SkipViewTest : public test::OverlayTest {
 protected:
  // A skip view set up as the views manager does it.
  std::shared_ptr<SkipView> skipView(SkipDisplay mode, std::int64_t start,
                                     bool withCallback = true) {
    auto view = SkipView::loadViewFromNib();
    EXPECT_TRUE(view);
    if (!view) std::abort();
    view->skipDisplay = mode;
    view->setCounDouwnTime(start);
    if (withCallback) view->skipComplition = [this] { ++skips; };
    view->setUpText("Passer");
    view->setupView();
    return view;
  }

  struct Looks {
    bool skipArea;  // contentView shown
    bool timer;     // timerView shown
    bool ignoresTaps;
    friend bool operator==(const Looks&, const Looks&) = default;
  };
  static Looks looksOf(const SkipView& v) {
    return {!v.contentView.lock()->hidden, !v.timerView.lock()->hidden, v.ignoreSkip()};
  }

  int skips = 0;
};

TEST_F(SkipViewTest, EachDisplayModeStartsWithItsOwnLooks) {
  const struct {
    SkipDisplay mode;
    std::int64_t start;
    Looks looks;
    Color textColor;
  } cases[] = {
      {SkipDisplay::hideBeforeShow, 5, {true, false, false}, Color::white()},
      {SkipDisplay::greyBeforeShow, 5, {true, false, true}, Color::grey()},
      {SkipDisplay::countDownBeforeShow, 5, {false, true, true}, Color::white()},
      // Start value 0 first allows skipping and hides the timer; setupView()
      // then hides the skip area and blocks again: nothing is visible.
      {SkipDisplay::countDownBeforeShow, 0, {false, false, true}, Color::white()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode) * 100 + c.start);
    const auto view = skipView(c.mode, c.start);
    EXPECT_EQ(looksOf(*view), c.looks);
    EXPECT_EQ(view->textLabel.lock()->text, "Passer");
    EXPECT_EQ(view->textLabel.lock()->textColor, c.textColor);
    tap(*view);
    EXPECT_EQ(skips, c.looks.ignoresTaps ? 0 : 1);
    skips = 0;
  }
}

TEST_F(SkipViewTest, CountdownShowsTheSecondsLeftThenAllowsSkipping) {
  const auto view = skipView(SkipDisplay::countDownBeforeShow, 5);
  EXPECT_EQ(view->timerLabel.lock()->text, "5");
  for (std::int64_t left : {5, 4, 3, 2, 1}) {
    view->setCounDouwnTime(left);
    EXPECT_EQ(view->timerLabel.lock()->text, std::to_string(left));
    tap(*view);
  }
  EXPECT_EQ(skips, 0);
  EXPECT_EQ(looksOf(*view), (Looks{false, true, true}));

  view->setCounDouwnTime(0);
  EXPECT_EQ(looksOf(*view), (Looks{true, false, false}));
  tap(*view);
  tap(*view);
  EXPECT_EQ(skips, 2);
}

TEST_F(SkipViewTest, CountdownFromZeroAllowsSkippingAtTheNextTick) {
  const auto view = skipView(SkipDisplay::countDownBeforeShow, 0);
  view->setCounDouwnTime(-1);
  EXPECT_EQ(looksOf(*view), (Looks{true, false, false}));
  tap(*view);
  EXPECT_EQ(skips, 1);
}

TEST_F(SkipViewTest, GreyStyleIgnoresTapsUntilUnblocked) {
  const auto view = skipView(SkipDisplay::greyBeforeShow, 5);
  tap(*view);
  EXPECT_EQ(skips, 0);
  view->unblockGreyStyle();
  EXPECT_EQ(view->textLabel.lock()->textColor, Color::white());
  tap(*view);
  tap(*view);
  EXPECT_EQ(skips, 2);
}

TEST_F(SkipViewTest, AnAllowedTapWithoutCallbackDoesNothing) {
  const auto view = skipView(SkipDisplay::hideBeforeShow, 0, /*withCallback=*/false);
  tap(*view);
  EXPECT_FALSE(view->ignoreSkip());
}

}  // namespace
}  // namespace telvora
