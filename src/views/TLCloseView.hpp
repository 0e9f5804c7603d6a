#pragma once

#include <telvora/platform/Button.hpp>
#include <telvora/platform/Nib.hpp>
#include <telvora/platform/View.hpp>

#include <functional>
#include <memory>

namespace telvora {

// The close button shown in the top left corner of the video view during an
// ad. Every tap runs closeComplition; there is no blocked state. Loaded and
// placed by the views manager, which raises closeButton above the ad.
// Main queue only.
class TLCloseView : public View {
 public:
  TLCloseView() = default;
  explicit TLCloseView(Rect frame) : View(frame) {}

  // The first top-level object of "TLCloseView" in the library bundle, if it
  // is a TLCloseView with all its parts; else nullptr.
  static std::shared_ptr<TLCloseView> loadViewFromNib();
  static const NibClass& nibClass();

  void awakeFromNib() override;

  std::weak_ptr<View> contentView;
  std::weak_ptr<Button> closeButton;

  std::function<void()> closeComplition;

  // Sent by the interface file's close button.
  void closeAction(Button& sender);
};

}  // namespace telvora
