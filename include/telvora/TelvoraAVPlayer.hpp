#pragma once

#include <telvora/platform/ContentPlayer.hpp>
#include <telvora/platform/View.hpp>

#include <memory>
#include <utility>

namespace telvora {

// The host app's content player and the view that shows it. One instance is
// shared (std::shared_ptr) by the app, the session and the ad player, so a
// field replaced on it is seen by all of them. Main queue only.
class TelvoraAVPlayer {
 public:
  TelvoraAVPlayer(std::shared_ptr<ContentPlayer> contentPlayer, std::shared_ptr<View> videoView)
      : contentPlayer(std::move(contentPlayer)), videoView(std::move(videoView)) {}

  // Observed, paused, resumed and muted by the library.
  std::shared_ptr<ContentPlayer> contentPlayer;
  // Parent of the ad display and the overlay views.
  std::shared_ptr<View> videoView;
};

}  // namespace telvora
