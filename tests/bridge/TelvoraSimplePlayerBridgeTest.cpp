#include <telvora/TelvoraSimplePlayerBridge.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvora {
namespace {

// Records what the bridge asks of it; reports whatever progress the test sets.
class RecordingPlayer final : public TelvoraPlayer {
 public:
  PlayerProgress progress = PlayerProgress::notReady();
  std::vector<std::string> calls;

  PlayerProgress currentProgress() const override { return progress; }
  void load(const std::string& url) override { calls.push_back("load " + url); }
  void play() override { calls.push_back("play"); }
  void pause() override { calls.push_back("pause"); }
  void seek(double to) override { calls.push_back("seek " + std::to_string(static_cast<int>(to))); }
};

using Calls = std::vector<std::string>;

class PlayerBridgeTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingPlayer> player = std::make_shared<RecordingPlayer>();
  std::shared_ptr<View> view = std::make_shared<View>();
  TelvoraSimplePlayerBridge bridge{view, player};

  // The calls made by one play(), and nothing before it.
  Calls play(const std::string& url, bool isAd) {
    player->calls.clear();
    bridge.play(url, isAd);
    return player->calls;
  }
};

TEST_F(PlayerBridgeTest, ContentResumesWhereTheFirstAdInterruptedIt) {
  EXPECT_EQ(play("A", false), (Calls{"pause", "load A", "play"}));
  player->progress = PlayerProgress::time(42, 600);
  EXPECT_EQ(play("X", true), (Calls{"pause", "load X", "play"}));
  player->progress = PlayerProgress::time(3, 15);  // the first ad's own position
  EXPECT_EQ(play("Y", true), (Calls{"pause", "load Y", "play"}));
  EXPECT_EQ(play("A", false), (Calls{"pause", "load A", "seek 42", "play"}));
}

TEST_F(PlayerBridgeTest, NewContentOrAnAdBeforeAnyContentStartsWithoutASeek) {
  EXPECT_EQ(play("X", true), (Calls{"pause", "load X", "play"}));
  EXPECT_EQ(play("A", false), (Calls{"pause", "load A", "play"}));

  player->progress = PlayerProgress::time(42, 600);
  play("X", true);
  EXPECT_EQ(play("B", false), (Calls{"pause", "load B", "play"}));
}

TEST_F(PlayerBridgeTest, PauseAndResumeReachThePlayer) {
  bridge.pause();
  bridge.resume();
  EXPECT_EQ(player->calls, (Calls{"pause", "play"}));
  EXPECT_EQ(bridge.contentView(), view);
  EXPECT_EQ(bridge.player(), player);
}

}  // namespace
}  // namespace telvora
