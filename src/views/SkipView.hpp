#pragma once

#include <telvora/AdConfig.hpp>
#include <telvora/platform/Button.hpp>
#include <telvora/platform/Label.hpp>
#include <telvora/platform/Nib.hpp>
#include <telvora/platform/View.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace telvora {

// The skip button drawn over an ad. The views manager loads it from its
// interface file, places it at the bottom right of the video view and sets it
// up, in this order: skipDisplay, setCounDouwnTime(start value),
// skipComplition, setUpText(), setupView(). The ad player's skip countdown
// tick then drives it (through the manager) until skipping is allowed:
// setCounDouwnTime() on every tick in mode countDownBeforeShow,
// unblockGreyStyle() once in mode greyBeforeShow. Taps before that are
// ignored; taps after it run skipComplition.
//
// Blocked turns into allowed once (a countdown value <= 0, or
// unblockGreyStyle()); nothing blocks it again except setupView(). One skip
// view serves one ad. Main queue only.
class SkipView : public View {
 public:
  SkipView() = default;
  explicit SkipView(Rect frame) : View(frame) {}

  // The first top-level object of "SkipView" in the library bundle, if it is
  // a SkipView with all its parts; else nullptr.
  static std::shared_ptr<SkipView> loadViewFromNib();
  static const NibClass& nibClass();

  void awakeFromNib() override;

  // Parts from the interface file, owned by the view hierarchy.
  std::weak_ptr<Label> textLabel;
  std::weak_ptr<View> contentView;  // the skip area holding the text
  std::weak_ptr<Label> timerLabel;  // the seconds left
  std::weak_ptr<View> timerView;    // the area holding timerLabel

  AdConfig::SkipDisplay skipDisplay = AdConfig::SkipDisplay::countDownBeforeShow;
  std::function<void()> skipComplition;

  // True while taps do nothing.
  bool ignoreSkip() const { return ignoreSkip_; }

  // Seconds left before skipping is allowed. Every assignment, of an
  // unchanged value too, updates the view: <= 0 shows the skip area, hides
  // the timer and allows taps; > 0 shows the value in the timer.
  std::int64_t counDouwnTime() const { return counDouwnTime_; }
  void setCounDouwnTime(std::int64_t counDouwnTime);

  // Applies skipDisplay: hideBeforeShow hides the timer; greyBeforeShow
  // greys the text, hides the timer and blocks taps; countDownBeforeShow
  // hides the skip area, blocks taps and shows counDouwnTime().
  void setupView();
  // Ends the grey style: white text, taps allowed.
  void unblockGreyStyle();
  void setUpText(const std::string& text);

  // Sent by the interface file's skip button.
  void skipAction(Button& sender);

 private:
  bool ignoreSkip_ = false;
  std::int64_t counDouwnTime_ = 0;
};

}  // namespace telvora
