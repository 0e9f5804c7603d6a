#include "session/BehaviourChoice.hpp"

#include <telvora/ConfigCoding.hpp>

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(BehaviourChoice, PicksTheStreamConfigurationAndModeForTheVideoType) {
  struct Case {
    const char* live;
    const char* onDemand;
    std::optional<VideoType> type;
    BehaviourKind behaviour;
    std::optional<std::int64_t> prerollPods;  // tells which stream was picked
  };
  const Case cases[] = {
      {R"({"prerollPods": 1, "breakingAdsMode": "default"})", "{}", VideoType::live,
       BehaviourKind::liveSlots, 1},
      {"{}", R"({"prerollPods": 2, "breakingAdsMode": "default"})", VideoType::vod,
       BehaviourKind::vodSlots, 2},
      {"{}", R"({"prerollPods": 2, "breakingAdsMode": "default"})", std::nullopt,
       BehaviourKind::vodSlots, 2},
      {R"({"breakingAdsMode": "os"})", "{}", VideoType::live, BehaviourKind::interval, {}},
      {"{}", R"({"breakingAdsMode": "os"})", VideoType::vod, BehaviourKind::interval, {}},
      {R"({"breakingAdsMode": "cue"})", "{}", VideoType::live, BehaviourKind::cue, {}},
      {"{}", R"({"breakingAdsMode": "cue"})", std::nullopt, BehaviourKind::cue, {}},
      {R"({"breakingAdsMode": "cue"})", R"({"prerollPods": 3})", VideoType::vod,
       BehaviourKind::none, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.live) + " / " + c.onDemand);
    // The defaults name a mode too, but are never picked by themselves.
    auto config = decodeConfig(std::string(R"({"default": {"breakingAdsMode": "os"}, "live": )") +
                               c.live + R"(, "onDemand": )" + c.onDemand + "}");
    ASSERT_TRUE(config.ok()) << config.detail();
    const BehaviourChoice choice = chooseBehaviour(*config.value(), c.type);
    EXPECT_EQ(choice.behaviour, c.behaviour);
    EXPECT_EQ(choice.stream.prerollPods, c.prerollPods);
  }
}

}  // namespace
}  // namespace telvora
