#pragma once

#include <telvora/PlayerProgress.hpp>

#include <string>

namespace telvora {

// A player that is not the platform content player, wrapped by the host so a
// TelvoraPlayerBridge can switch it between content and ads. Times in
// seconds.
class TelvoraPlayer {
 public:
  virtual ~TelvoraPlayer() = default;

  virtual PlayerProgress currentProgress() const = 0;
  // Makes the player's item the given URL.
  virtual void load(const std::string& url) = 0;
  virtual void play() = 0;
  virtual void pause() = 0;
  // Moves to a time in the current item.
  virtual void seek(double to) = 0;
};

}  // namespace telvora
