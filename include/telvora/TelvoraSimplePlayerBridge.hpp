#pragma once

#include <telvora/PlayerProgress.hpp>
#include <telvora/TelvoraPlayerBridge.hpp>

#include <memory>
#include <optional>
#include <string>

namespace telvora {

// Switches one player between the content and ad URLs, remembering where
// the content was when the first ad started so that the same content resumes
// there after the ads. Content with a new URL starts wherever the player
// starts a new item. Not synchronised: use it from one thread.
class TelvoraSimplePlayerBridge final : public TelvoraPlayerBridge {
 public:
  TelvoraSimplePlayerBridge(std::shared_ptr<View> contentView,
                            std::shared_ptr<TelvoraPlayer> player);

  std::shared_ptr<View> contentView() const override { return contentView_; }
  std::shared_ptr<TelvoraPlayer> player() const override { return player_; }

  void play(const std::string& url, bool isAd) override;
  void pause() override;
  void resume() override;

 private:
  void playAd(const std::string& url);
  void playContent(const std::string& url);

  std::shared_ptr<View> contentView_;
  std::shared_ptr<TelvoraPlayer> player_;
  PlayerProgress progress = PlayerProgress::notReady();
  std::optional<std::string> contentURL;
  bool isPlayerAd = false;
};

}  // namespace telvora
