#include <telvora/TelvoraSimplePlayerBridge.hpp>

#include <utility>

namespace telvora {

TelvoraSimplePlayerBridge::TelvoraSimplePlayerBridge(std::shared_ptr<View> contentView,
                                                     std::shared_ptr<TelvoraPlayer> player)
    : contentView_(std::move(contentView)), player_(std::move(player)) {}

void TelvoraSimplePlayerBridge::play(const std::string& url, bool isAd) {
  if (!player_) return;
  if (isAd) {
    playAd(url);
  } else {
    playContent(url);
  }
}

void TelvoraSimplePlayerBridge::pause() {
  if (player_) player_->pause();
}

void TelvoraSimplePlayerBridge::resume() {
  if (player_) player_->play();
}

void TelvoraSimplePlayerBridge::playAd(const std::string& url) {
  // Only the switch from content saves the position: a second ad in a row
  // keeps the content's.
  if (!isPlayerAd) progress = player_->currentProgress();
  player_->pause();
  player_->load(url);
  isPlayerAd = true;
  player_->play();
}

void TelvoraSimplePlayerBridge::playContent(const std::string& url) {
  if (contentURL != url) progress = PlayerProgress::notReady();
  contentURL = url;
  player_->pause();
  player_->load(url);
  isPlayerAd = false;
  if (const PlayerProgress::Time* time = progress.asTime()) player_->seek(time->currentTime);
  player_->play();
}

}  // namespace telvora
