#pragma once

#include <telvora/TelvoraPlayer.hpp>
#include <telvora/platform/View.hpp>

#include <memory>
#include <string>

namespace telvora {

// Plays content and ads on one host player.
class TelvoraPlayerBridge {
 public:
  virtual ~TelvoraPlayerBridge() = default;

  virtual std::shared_ptr<View> contentView() const = 0;
  virtual std::shared_ptr<TelvoraPlayer> player() const = 0;

  // Plays `url` as an ad when `isAd`, else as content.
  virtual void play(const std::string& url, bool isAd) = 0;
  virtual void pause() = 0;
  virtual void resume() = 0;
};

}  // namespace telvora
