#pragma once

#include <telvora/platform/CircularCountdownView.hpp>
#include <telvora/platform/Label.hpp>
#include <telvora/platform/Nib.hpp>
#include <telvora/platform/View.hpp>

#include <memory>

namespace telvora {

// The notice shown in a corner of the video view shortly before a break: a
// circular countdown of the seconds left and a text. It has no logic of its
// own; the views manager loads it, starts and pauses its countdown, sets its
// text and places it, sized by its contentView's width and its own height.
// Main queue only.
class TLPreAdnotificationView : public View {
 public:
  TLPreAdnotificationView() = default;
  explicit TLPreAdnotificationView(Rect frame) : View(frame) {}

  // The first top-level object of "TLPreAdnotificationView" in the library
  // bundle, if it is a TLPreAdnotificationView with all its parts; else
  // nullptr.
  static std::shared_ptr<TLPreAdnotificationView> loadViewFromNib();
  static const NibClass& nibClass();

  void awakeFromNib() override;

  std::weak_ptr<CircularCountdownView> countdownTimer;
  std::weak_ptr<Label> textLabel;
  std::weak_ptr<View> contentView;  // the visible box
};

}  // namespace telvora
