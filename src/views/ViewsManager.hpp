#pragma once

#include <telvora/AdConfig.hpp>
#include <telvora/PreAdNotification.hpp>
#include <telvora/TelvoraAVPlayer.hpp>
#include <telvora/platform/View.hpp>

#include "views/SkipView.hpp"
#include "views/TLCloseView.hpp"
#include "views/TLPreAdnotificationView.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace telvora {

// Puts the library's own views over the host's video view and takes them
// away again: the pre-ad notice before a break and the black cover during it
// (for the scheduler, which owns the manager), the skip and close buttons
// during an ad (for the ad-pod player, which holds it weakly).
//
// Every operation except unblockSkipViewGreyStyle() and updeteCounDounTime()
// queues its view work on the main queue (RunLoop::main().async), so the
// work runs in call order after the caller's task: a notice added and
// removed in quick succession is shown and then taken away. The queued work
// holds the manager and the parent view (or player) weakly and does nothing
// once either is gone. preAdNotificationViewIsActive() changes at the call,
// before the work runs. Call the manager on the main queue only.
//
// Adding a notice, skip view or close view first takes an earlier one off
// the screen, so at most one of each is shown and a later remove call always
// reaches what is shown. The views are placed with constraints against the
// parent's layout-margins guide, and the parent is laid out at once.
// Nothing is taken away when the manager goes.
class ViewsManager : public std::enable_shared_from_this<ViewsManager> {
  struct Token {};

 public:
  static std::shared_ptr<ViewsManager> create();
  explicit ViewsManager(Token);

  // True from addPreAdNotificationView() until removePreAdNotificationView().
  bool preAdNotificationViewIsActive() const { return preAdNotificationViewIsActive_; }

  // Shows the notice in `position`'s corner of `view`, 10 points inside the
  // guide's top edge (or outside its bottom edge), its countdown starting at
  // `duration` rounded down to whole seconds, showing `text` or, when absent,
  // the interface file's text.
  void addPreAdNotificationView(double duration, const std::shared_ptr<View>& view,
                                PreAdNotification::Position position,
                                std::optional<std::string> text);
  void removePreAdNotificationView();

  // Covers `view` with a black square as wide as its longer side, at its
  // origin, on top of its children. The same cover serves every break.
  void addCoverView(const std::shared_ptr<View>& view);
  void removeCoverView();

  // Shows a skip button at the bottom right of the player's video view, on
  // top of everything (the ad included), configured with the display mode,
  // the countdown's start value, the text and the tap callback.
  void addSkipView(const std::shared_ptr<TelvoraAVPlayer>& telvoraAVPlayer,
                   AdConfig::SkipDisplay skipDisplay, std::int64_t counDouwnTime, std::string text,
                   std::function<void()> complition);
  // These two act at once on the skip view shown (nothing without one):
  // the skip countdown tick calls them on the main queue.
  void unblockSkipViewGreyStyle();
  void updeteCounDounTime(std::int64_t counDouwnTime);
  void removeSkipView();

  // Shows a 25 by 25 close button in the top left corner of `view`; every
  // tap runs `complition`.
  void addCloseView(const std::shared_ptr<View>& view, std::function<void()> complition);
  void removeCloseView();

  // What is on screen, for tests and diagnostics; null when nothing is.
  const std::shared_ptr<TLPreAdnotificationView>& preAdNotificationView() const {
    return preAdNotificationView_;
  }
  const std::shared_ptr<SkipView>& skipView() const { return skipView_; }
  const std::shared_ptr<TLCloseView>& closeView() const { return closeView_; }
  // Always the same view, in a parent or not.
  const std::shared_ptr<View>& coverView() const { return coverView_; }

 private:
  void enqueue(std::function<void(ViewsManager&)> work);
  void takeAwayPreAdNotificationView();
  void takeAwaySkipView();
  void takeAwayCloseView();

  bool preAdNotificationViewIsActive_ = false;
  std::shared_ptr<TLPreAdnotificationView> preAdNotificationView_;
  std::shared_ptr<SkipView> skipView_;
  std::shared_ptr<TLCloseView> closeView_;
  std::shared_ptr<View> coverView_;
};

}  // namespace telvora
