#include <telvora/ConfigCoding.hpp>
#include <telvora/TelvoraLogs.hpp>
#include <telvora/TelvoraSession.hpp>

#include "scheduling/IntervalSchedulerBehaivour.hpp"
#include "scheduling/LiveSlotsSchedulerBehaivour.hpp"
#include "scheduling/ManifestSchedulerBehaivour.hpp"
#include "scheduling/WODSlotsSchedulerBehaivour.hpp"
#include "session/TelvoraSessionTestPeer.hpp"
#include "support/FakeContentPlayer.hpp"

#include <gtest/gtest.h>

#include <typeinfo>

namespace telvora {
namespace {

using Peer = TelvoraSessionTestPeer;

std::shared_ptr<Config> configOf(const std::string& json) {
  auto result = decodeConfig(json);
  EXPECT_TRUE(result.ok()) << result.detail();
  return result.ok() ? result.value() : nullptr;
}

Bytes bytes(std::string text) {
  return std::make_shared<const std::string>(std::move(text));
}

class BehaviourSetUpTest : public testing::Test {
 protected:
  void SetUp() override {
    TelvoraLogs::clearLogs();
    player = std::make_shared<test::FakeContentPlayer>();
    session = TelvoraSession::create(SDKConfig("c", "p", "f", std::nullopt, nullptr, std::nullopt),
                                     nullptr);
    session->player = std::make_shared<TelvoraAVPlayer>(player, nullptr);
  }
  void TearDown() override { TelvoraLogs::clearLogs(); }

  std::shared_ptr<test::FakeContentPlayer> player;
  std::shared_ptr<TelvoraSession> session;
};

TEST_F(BehaviourSetUpTest, BuildsTheBehaviourOfTheModeAndNamesItInTheDebugRecord) {
  struct Case {
    const char* mode;
    std::optional<VideoType> videoType;
    const std::type_info& behaviour;
    const char* debugText;
  };
  const Case cases[] = {
      {"os", VideoType::vod, typeid(IntervalSchedulerBehaivour), "Ad Mode: Interval\nLive:false\n"},
      {"os", VideoType::live, typeid(IntervalSchedulerBehaivour), "Ad Mode: Interval\nLive:true\n"},
      {"default", VideoType::live, typeid(LiveSlotsSchedulerBehaivour),
       "Ad Mode: Slots\nLive:true\n"},
      {"default", VideoType::vod, typeid(WODSlotsSchedulerBehaivour),
       "Ad Mode: Slots\nLive:false\n"},
      {"default", std::nullopt, typeid(WODSlotsSchedulerBehaivour), "Ad Mode: Slots\nLive:false\n"},
      {"cue", VideoType::live, typeid(ManifestSchedulerBehaivour),
       "Ad Mode: Cue Points\nLive:true\n"},
  };
  for (const Case& c : cases) {
    SetUp();
    const std::string stream = std::string(R"({"breakingAdsMode": ")") + c.mode + R"("})";
    session->setConfig(
        configOf(R"({"default": {}, "live": )" + stream + R"(, "onDemand": )" + stream + "}"));
    if (c.videoType) Peer::setVideoType(*session, *c.videoType);
    auto behaviour = Peer::behaviour(*session);
    ASSERT_TRUE(behaviour) << c.mode;
    EXPECT_EQ(typeid(*behaviour), c.behaviour) << c.mode;
    EXPECT_EQ(TelvoraLogs::shared()->getDescription(), c.debugText) << c.mode;
  }
}

TEST_F(BehaviourSetUpTest, WithoutAModeTheEarlierBehaviourStays) {
  session->setConfig(configOf(
      R"({"default": {}, "live": {}, "onDemand": {"breakingAdsMode": "os", "midrollTime": 60}})"));
  const auto interval = Peer::behaviour(*session);
  ASSERT_TRUE(interval);
  Peer::setVideoType(*session, VideoType::live);  // live names no mode
  EXPECT_EQ(Peer::behaviour(*session), interval);
  EXPECT_EQ(TelvoraLogs::shared()->getDescription(), "Ad Mode: Interval\nLive:true\n");
}

TEST_F(BehaviourSetUpTest, PausesOnDemandContentForAPreRoll) {
  const std::pair<const char*, bool> cases[] = {
      {R"({"prerollPods": 2})", true}, {R"({"prerollPods": 0})", false}, {"{}", false}};
  for (const auto& [onDemand, paused] : cases) {
    SetUp();
    session->setConfig(configOf(std::string(R"({"default": {}, "live": {"prerollPods": 2},
                                               "onDemand": )") +
                                onDemand + "}"));
    EXPECT_EQ(player->calls == std::vector<std::string>{"pause"}, paused) << onDemand;
  }
  // Live content is muted during its pre-roll, never paused.
  SetUp();
  session->setConfig(configOf(R"({"default": {}, "live": {"prerollPods": 2}, "onDemand": {}})"));
  Peer::setVideoType(*session, VideoType::live);
  EXPECT_TRUE(player->calls.empty());
}

TEST_F(BehaviourSetUpTest, TheTotalDurationFollowsTheManifestsForLiveAndCueStreams) {
  const std::string playlist = "#EXTM3U\n#EXTINF:10,\na.ts\n#EXTINF:10,\nb.ts\n";
  const std::string longer = playlist + "#EXTINF:10,\nc.ts\n";
  for (const char* mode : {R"({"breakingAdsMode": "cue"})", "{}"}) {
    SetUp();
    const std::string stream = mode;
    session->setConfig(configOf(R"({"default": {}, "live": {}, "onDemand": )" + stream + "}"));
    const bool cue = stream != "{}";
    if (!cue) Peer::setVideoType(*session, VideoType::live);
    ManifestParser& parser = Peer::manifestParser(*session);
    parser.setPlayListData(bytes(playlist));
    EXPECT_EQ(Peer::totalManifestDuration(*session), 20) << mode;
    parser.setPlayListData(bytes(longer));
    parser.updateManifest();
    EXPECT_EQ(Peer::totalManifestDuration(*session), 30) << mode;
  }
  // An on-demand stream in another mode does not follow them.
  SetUp();
  session->setConfig(
      configOf(R"({"default": {}, "live": {}, "onDemand": {"breakingAdsMode": "os"}})"));
  Peer::manifestParser(*session).setPlayListData(bytes(playlist));
  EXPECT_EQ(Peer::totalManifestDuration(*session), std::nullopt);
}

}  // namespace
}  // namespace telvora
