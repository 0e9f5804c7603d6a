#pragma once

#include <telvora/platform/ContentPlayer.hpp>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>

namespace telvora {

// The ad SDK's view of where the content is: it reads the content player's
// position through this, never controls the player. The ad player makes one
// per ad from its content player. The player is held weakly: the playhead
// does not keep it alive, and answers nothing once it is gone.
//
// Main queue only, like the content player.
class ContentPlayhead {
 public:
  explicit ContentPlayhead(const std::shared_ptr<ContentPlayer>& contentPlayer)
      : contentPlayer_(contentPlayer) {}

  // The content's position in seconds; nothing without a player, an item or
  // a valid time.
  std::optional<double> currentTime() const {
    const std::shared_ptr<ContentPlayer> player = contentPlayer_.lock();
    const std::shared_ptr<PlayerItem> item = player ? player->currentItem() : nullptr;
    if (!item) return std::nullopt;
    const double time = item->currentTime();
    if (!std::isfinite(time)) return std::nullopt;
    return time;
  }

 private:
  std::weak_ptr<ContentPlayer> contentPlayer_;
};

}  // namespace telvora
