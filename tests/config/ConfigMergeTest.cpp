#include <telvora/ConfigCoding.hpp>

#include <gtest/gtest.h>

#include <string>

namespace telvora {
namespace {

std::shared_ptr<Config> configOf(const std::string& defaults, const std::string& live,
                                 const std::string& onDemand = "{}") {
  auto result = decodeConfig(R"({"default": )" + defaults + R"(, "live": )" + live +
                             R"(, "onDemand": )" + onDemand + "}");
  EXPECT_TRUE(result.ok()) << result.detail();
  return result.ok() ? result.value() : nullptr;
}

std::string json(const StreamConfig& stream) {
  return encode(stream).value();
}

TEST(ConfigMerge, CompletesTopLevelKeysFromTheDefaults) {
  auto config = configOf(R"({"prerollPods": 2, "midrollTime": 300, "breakingAdsMode": "cue"})",
                         R"({"prerollPods": 1})", R"({})");
  config->mergeConfigs();
  EXPECT_EQ(json(config->live), R"({"prerollPods":1,"midrollTime":300,"breakingAdsMode":"cue"})");
  EXPECT_EQ(config->onDemand.breakingAdsMode, StreamConfig::Mode::cue);
  EXPECT_EQ(config->onDemand.prerollPods, 2);
  // The defaults themselves are left alone.
  EXPECT_EQ(json(config->default_),
            R"({"prerollPods":2,"midrollTime":300,"breakingAdsMode":"cue"})");
}

TEST(ConfigMerge, KeepsNestedObjectsAndArraysWhole) {
  auto config = configOf(
      R"({"prerollAdConfig": {"vastUrl": "http://ads/v", "skipTimer": 5},
          "slots": [{"time": 1}, {"time": 2}], "preAdNotification": {"text": "x"}})",
      R"({"prerollAdConfig": {"skip": true}, "slots": [{"maxPods": 3}],
          "preAdNotification": {}})");
  config->mergeConfigs();
  EXPECT_EQ(json(config->live),
            R"({"prerollAdConfig":{"skip":true},"slots":[{"maxPods":3}],"preAdNotification":{}})");
}

TEST(ConfigMerge, IsIdempotentAndSeenByEveryHolder) {
  auto config = configOf(R"({"midrollPods": 4, "slots": [{"time": 10}]})", R"({"midrollPods": 1})");
  const std::shared_ptr<Config> sameObject = config;
  config->mergeConfigs();
  const std::string once = json(config->live);
  config->mergeConfigs();
  EXPECT_EQ(json(config->live), once);
  EXPECT_EQ(json(sameObject->live), R"({"midrollPods":1,"slots":[{"time":10}]})");
}

TEST(ConfigMerge, MergeReturnsTheCompletedCopyWithoutChangingTheConfig) {
  auto config = configOf(R"({"maxMidrollTime": 45})", R"({})");
  StreamConfig input;
  input.midrollTime = 60;
  std::optional<StreamConfig> merged = config->merge(input);
  ASSERT_TRUE(merged);
  EXPECT_EQ(json(*merged), R"({"maxMidrollTime":45,"midrollTime":60})");
  EXPECT_EQ(json(config->live), "{}");
}

}  // namespace
}  // namespace telvora
