#include <telvora/ConfigCoding.hpp>

#include <gtest/gtest.h>

#include <string>

namespace telvora {
namespace {

// A document whose three stream configurations are given as JSON texts.
std::string document(const std::string& live, const std::string& onDemand = "{}",
                     const std::string& defaults = "{}") {
  return R"({"data": {"default": )" + defaults + R"(, "live": )" + live + R"(, "onDemand": )" +
         onDemand + "}}";
}

StreamConfig decodeLive(const std::string& live) {
  auto result = decodeConfigData(document(live));
  EXPECT_TRUE(result.ok()) << result.detail();
  return result.ok() ? result.value().data->live : StreamConfig();
}

TEST(ConfigDecoding, ReadsEveryFieldOfAStreamConfiguration) {
  const StreamConfig live = decodeLive(R"({
    "prerollPods": 2, "maxPrerollTime": 30, "midrollPods": 3, "maxMidrollTime": 45,
    "midrollTime": 300, "breakingAdsMode": "cue", "fillerStream": "http://f/x.m3u8",
    "stopFetchingAdsBellowXRemainingSec": 4,
    "prerollAdConfig": {"skip": true, "skipTimer": 5.5, "soundButton": false, "pauseButton": true,
                        "clickThrough": false, "errorLimit": 2, "vastUrl": "http://ads/v",
                        "skipDisplay": 2, "skipText": "Skip"},
    "slots": [{"time": 60, "timeout": 5, "maxPods": 2, "maxDuration": 30,
               "adConfig": {"vastUrl": "http://ads/slot"}}, {}],
    "preAdNotification": {"showTimer": false, "position": "top-right", "text": "Soon",
                          "timerCount": 7},
    "someFutureKey": {"ignored": [1, 2, 3]}
  })");
  EXPECT_EQ(live.prerollPods, 2);
  EXPECT_EQ(live.maxPrerollTime, 30);
  EXPECT_EQ(live.midrollPods, 3);
  EXPECT_EQ(live.maxMidrollTime, 45);
  EXPECT_EQ(live.midrollTime, 300);
  EXPECT_EQ(live.breakingAdsMode, StreamConfig::Mode::cue);
  EXPECT_EQ(live.fillerStream, "http://f/x.m3u8");
  EXPECT_EQ(live.stopFetchingAdsBellowXRemainingSec, 4);
  EXPECT_EQ(live.prerollAdConfig, AdConfig(true, 5.5f, false, true, false, 2, "http://ads/v",
                                           AdConfig::SkipDisplay::greyBeforeShow, "Skip"));
  EXPECT_FALSE(live.midrollAdConfig.has_value());
  ASSERT_TRUE(live.slots.has_value());
  ASSERT_EQ(live.slots->size(), 2u);
  EXPECT_EQ((*live.slots)[0].time, 60);
  EXPECT_EQ((*live.slots)[0].adConfig->vastUrl, "http://ads/slot");
  EXPECT_EQ((*live.slots)[1], SlotConfig());
  ASSERT_TRUE(live.preAdNotification.has_value());
  EXPECT_EQ(live.preAdNotification->showTimer, false);
  EXPECT_EQ(live.preAdNotification->position, PreAdNotification::Position::top_right);
  EXPECT_EQ(live.preAdNotification->text, "Soon");
  EXPECT_EQ(live.preAdNotification->timerCount, 7);
}

TEST(ConfigDecoding, AcceptsWhatTheRulesAllow) {
  struct Case {
    const char* live;
    std::function<void(const StreamConfig&)> check;
  };
  const Case cases[] = {
      {R"({})", [](const StreamConfig& s) { EXPECT_EQ(s, StreamConfig()); }},
      {R"({"prerollPods": null})", [](const StreamConfig& s) { EXPECT_FALSE(s.prerollPods); }},
      {R"({"prerollPods": 2.0})", [](const StreamConfig& s) { EXPECT_EQ(s.prerollPods, 2); }},
      {R"({"prerollPods": 1e3})", [](const StreamConfig& s) { EXPECT_EQ(s.prerollPods, 1000); }},
      {R"({"prerollPods": -0.0})", [](const StreamConfig& s) { EXPECT_EQ(s.prerollPods, 0); }},
      {R"({"midrollTime": 9223372036854775807})",
       [](const StreamConfig& s) { EXPECT_EQ(s.midrollTime, INT64_MAX); }},
      {R"({"midrollTime": -9223372036854775808})",
       [](const StreamConfig& s) { EXPECT_EQ(s.midrollTime, INT64_MIN); }},
      {R"({"breakingAdsMode": "os"})",
       [](const StreamConfig& s) { EXPECT_EQ(s.breakingAdsMode, StreamConfig::Mode::interval); }},
      {R"({"breakingAdsMode": "default"})",
       [](const StreamConfig& s) { EXPECT_EQ(s.breakingAdsMode, StreamConfig::Mode::slots); }},
      {R"({"prerollAdConfig": {"skipTimer": 3}})",
       [](const StreamConfig& s) { EXPECT_EQ(s.prerollAdConfig->skipTimer, 3.0f); }},
      {R"({"prerollAdConfig": {"skipDisplay": 1}})",
       [](const StreamConfig& s) {
         EXPECT_EQ(s.prerollAdConfig->skipDisplay, AdConfig::SkipDisplay::hideBeforeShow);
       }},
      {R"({"preAdNotification": {"position": "top-left"}})",
       [](const StreamConfig& s) {
         EXPECT_EQ(s.preAdNotification->position, PreAdNotification::Position::top_left);
       }},
      {R"({"slots": []})", [](const StreamConfig& s) { EXPECT_EQ(s.slots->size(), 0u); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.live);
    c.check(decodeLive(c.live));
  }
}

TEST(ConfigDecoding, RefusesTheWholeDocumentAndNamesTheKey) {
  struct Case {
    std::string json;
    std::string detail;
  };
  const Case cases[] = {
      {document(R"({"prerollPods": "2"})"),
       "data.live.prerollPods: expected an integer, got a string"},
      {document(R"({"prerollPods": 2.5})"),
       "data.live.prerollPods: expected an integer, got the number 2.5"},
      {document(R"({"prerollPods": true})"),
       "data.live.prerollPods: expected an integer, got a boolean"},
      {document(R"({"midrollTime": 9223372036854775808})"),
       "data.live.midrollTime: the number 9223372036854775808 does not fit a 64-bit integer"},
      {document(R"({"midrollTime": -9223372036854775809})"), "does not fit a 64-bit integer"},
      {document(R"({"midrollTime": 1e19})"), "does not fit a 64-bit integer"},
      {document(R"({"prerollAdConfig": {"skipTimer": 1e39}})"),
       "data.live.prerollAdConfig.skipTimer: the number 1e+39 does not fit a 32-bit float"},
      {document(R"({"prerollAdConfig": {"skipTimer": "5"}})"),
       "data.live.prerollAdConfig.skipTimer: expected a number, got a string"},
      {document(R"({"prerollAdConfig": {"skip": 1}})"),
       "data.live.prerollAdConfig.skip: expected true or false, got the number 1"},
      {document(R"({"fillerStream": 7})"), "data.live.fillerStream: expected a string"},
      {document(R"({"breakingAdsMode": "interval"})"),
       R"(data.live.breakingAdsMode: "interval" is not one of "os", "default", "cue")"},
      {document(R"({"prerollAdConfig": {"skipDisplay": 0}})"),
       "data.live.prerollAdConfig.skipDisplay: 0 is not one of 1, 2, 3"},
      {document(R"({"prerollAdConfig": {"skipDisplay": 4}})"), "4 is not one of 1, 2, 3"},
      {document(R"({"preAdNotification": {"position": "top_left"}})"),
       R"(data.live.preAdNotification.position: "top_left" is not one of)"},
      {document(R"({"slots": [{}, {"time": "x"}]})"),
       "data.live.slots[1].time: expected an integer, got a string"},
      {document(R"({"slots": {}})"), "data.live.slots: expected an array, got an object"},
      {document(R"([])"), "data.live: expected an object, got an array"},
      {document("null"), "data.live: required key is null"},
      {R"({"data": {"default": {}, "live": {}}})", "data.onDemand: required key is missing"},
      {R"({})", "data: required key is missing"},
      {R"([1])", "document: expected an object, got an array"},
      {"", "document: not valid JSON"},
      {R"({"data": )", "document: not valid JSON"},
      {"{\"data\": {\"default\": {\"fillerStream\": \"\xff\"}}}", "document: not valid JSON"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    auto result = decodeConfigData(c.json);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), CodingError::decodeFailed);
    EXPECT_NE(result.detail().find(c.detail), std::string::npos) << result.detail();
  }
}

TEST(ConfigDecoding, RefusesNestingBeyondTheLimitWithoutExhaustingTheStack) {
  const std::string deep = R"({"data": {"default": {"x": )" + std::string(100000, '[') +
                           std::string(100000, ']') + R"(}, "live": {}, "onDemand": {}}})";
  auto result = decodeConfigData(deep);
  ASSERT_FALSE(result.ok());
  EXPECT_NE(result.detail().find("nesting deeper than 512 levels"), std::string::npos);

  // Unknown keys nested within the limit are simply ignored.
  const std::string shallow = R"({"data": {"default": {"x": )" + std::string(500, '[') +
                              std::string(500, ']') + R"(}, "live": {}, "onDemand": {}}})";
  EXPECT_TRUE(decodeConfigData(shallow).ok());
}

TEST(SDKConfigDecoding, ReadsTheIdentity) {
  auto minimal = decodeSDKConfig(R"({"channelId": "c", "publisherId": "p", "configId": "i"})");
  ASSERT_TRUE(minimal.ok()) << minimal.detail();
  EXPECT_EQ(minimal.value().channelId, "c");
  EXPECT_FALSE(minimal.value().configURL);
  EXPECT_FALSE(minimal.value().adsConfig);

  auto full = decodeSDKConfig(R"({"channelId": "c", "publisherId": "p", "configId": "i",
      "configURL": "https://cfg/x", "consentString": "yes",
      "adsConfig": {"default": {}, "live": {"prerollPods": 1}, "onDemand": {}}})");
  ASSERT_TRUE(full.ok()) << full.detail();
  EXPECT_EQ(full.value().configURL, "https://cfg/x");
  EXPECT_EQ(full.value().consentString, "yes");
  ASSERT_TRUE(full.value().adsConfig);
  EXPECT_EQ(full.value().adsConfig->live.prerollPods, 1);

  auto noConfigId = decodeSDKConfig(R"({"channelId": "c", "publisherId": "p"})");
  ASSERT_FALSE(noConfigId.ok());
  EXPECT_EQ(noConfigId.detail(), "configId: required key is missing");
}

TEST(ConfigEncoding, LeavesAbsentFieldsOutAndWritesRawValues) {
  StreamConfig stream;
  stream.prerollPods = 2;
  stream.breakingAdsMode = StreamConfig::Mode::interval;
  stream.prerollAdConfig =
      AdConfig(std::nullopt, 0.1f, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
               std::nullopt, AdConfig::SkipDisplay::countDownBeforeShow, std::nullopt);
  PreAdNotification notice;
  notice.position = PreAdNotification::Position::bottom_right;
  stream.preAdNotification = notice;
  stream.slots =
      std::vector<SlotConfig>{SlotConfig(60, std::nullopt, 2, std::nullopt, std::nullopt)};

  auto text = encode(stream);
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text.value(),
            R"({"prerollPods":2,"breakingAdsMode":"os","prerollAdConfig":{"skipTimer":0.1,)"
            R"("skipDisplay":3},"slots":[{"time":60,"maxPods":2}],)"
            R"("preAdNotification":{"position":"bottom-right"}})");
  EXPECT_EQ(encode(StreamConfig()).value(), "{}");
}

TEST(ConfigEncoding, RoundTripsADocument) {
  const std::string text = document(
      R"({"prerollPods": 1, "slots": [{"time": 5, "adConfig": {"skipText": "Go"}}],
          "prerollAdConfig": {"skipTimer": 2.25, "skipDisplay": 1}})",
      R"({"breakingAdsMode": "cue", "preAdNotification": {"text": "x", "showTimer": true}})",
      R"({"midrollTime": 60})");
  auto first = decodeConfigData(text);
  ASSERT_TRUE(first.ok()) << first.detail();
  auto encoded = encode(first.value());
  ASSERT_TRUE(encoded.ok());
  auto second = decodeConfigData(encoded.value());
  ASSERT_TRUE(second.ok()) << second.detail();
  EXPECT_EQ(second.value().data->live, first.value().data->live);
  EXPECT_EQ(second.value().data->onDemand, first.value().data->onDemand);
  EXPECT_EQ(second.value().data->default_, first.value().data->default_);
}

TEST(ConfigEncoding, ReportsTextThatIsNotUtf8) {
  StreamConfig stream;
  stream.fillerStream = std::string("\xff\xfe");
  auto text = encode(stream);
  ASSERT_FALSE(text.ok());
  EXPECT_EQ(text.error(), CodingError::encodeFailed);
}

}  // namespace
}  // namespace telvora
