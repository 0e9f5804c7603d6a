#include <telvora/ConfigCoding.hpp>
#include <telvora/TelvoraSession.hpp>
#include <telvora/platform/RunLoop.hpp>

#include "session/BehaviourChoice.hpp"
#include "session/TelvoraSessionTestPeer.hpp"
#include "support/LocalHttpServer.hpp"
#include "support/MainLoop.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace telvora {

namespace {

using Peer = TelvoraSessionTestPeer;
using SessionError = TelvoraSession::SessionError;

std::shared_ptr<Config> configOf(const std::string& json) {
  auto result = decodeConfig(json);
  EXPECT_TRUE(result.ok()) << result.detail();
  return result.ok() ? result.value() : nullptr;
}

const char kServedDocument[] =
    R"({"data": {"default": {"midrollTime": 120}, "live": {"breakingAdsMode": "cue"},
                 "onDemand": {"breakingAdsMode": "os"}}})";

SDKConfig identity(std::optional<std::string> configURL, std::shared_ptr<Config> adsConfig) {
  return SDKConfig("chan", "pub", "cfg", std::move(configURL), std::move(adsConfig), std::nullopt);
}

class TelvoraSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { RunLoop::main().reset(); }
  void TearDown() override { RunLoop::main().reset(); }

  // Prepares `contentURL` and runs the main queue until the answer is there.
  TelvoraSession::URLResult prepare(
      TelvoraSession& session, const std::string& contentURL = "https://cdn.example.com/a.m3u8") {
    std::optional<TelvoraSession::URLResult> answer;
    std::thread::id answeredOn;
    session.prepareURL(contentURL, [&](TelvoraSession::URLResult result) {
      answeredOn = std::this_thread::get_id();
      answer.emplace(std::move(result));
    });
    EXPECT_FALSE(answer) << "the completion must come after prepareURL has returned";
    EXPECT_TRUE(test::runMainUntil([&] { return answer.has_value(); }));
    EXPECT_EQ(answeredOn, std::this_thread::get_id());  // this thread drives the main queue
    if (!answer) std::abort();
    return std::move(*answer);
  }

  static void runUntil(const std::function<bool()>& done) { EXPECT_TRUE(test::runMainUntil(done)); }
};

TEST_F(TelvoraSessionTest, PreparesWithTheConfigurationObjectCompletedInPlace) {
  auto adsConfig = configOf(R"({"default": {"prerollPods": 2}, "live": {}, "onDemand": {}})");
  auto session = TelvoraSession::create(identity(std::nullopt, adsConfig), nullptr);

  auto result = prepare(*session, "https://cdn.example.com/live/a.m3u8?x=1");
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.value(), "http://localhost:8080/live/a.m3u8?x=1");
  EXPECT_EQ(session->config(), adsConfig);
  EXPECT_EQ(adsConfig->live.prerollPods, 2);  // the host's own object was completed
  EXPECT_EQ(adsConfig->onDemand.prerollPods, 2);
}

TEST_F(TelvoraSessionTest, WithoutAnyConfigurationSourcePreparingFails) {
  auto session = TelvoraSession::create(identity(std::nullopt, nullptr), nullptr);
  auto result = prepare(*session);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error(), TelvoraSession::Error(SessionError::noConfigProvided));
  EXPECT_EQ(TelvoraSession::describe(result.error()), "noConfigProvided");
  EXPECT_FALSE(session->config());
}

TEST_F(TelvoraSessionTest, DownloadsTheConfigurationAndIgnoresTheObject) {
  test::LocalHttpServer server;
  std::string query;
  server.server().Get("/config", [&](const httplib::Request& req, httplib::Response& res) {
    query = req.get_param_value("TL_CFGID") + "|" + req.get_param_value("TL_PUBLISHERID") + "|" +
            req.get_param_value("TL_CHANNELID");
    res.set_content(kServedDocument, "application/json");
  });
  auto adsConfig = configOf(R"({"default": {"prerollPods": 2}, "live": {}, "onDemand": {}})");
  auto session = TelvoraSession::create(identity(server.url("/config"), adsConfig), nullptr);

  auto result = prepare(*session);
  ASSERT_TRUE(result.ok()) << result.detail();
  EXPECT_EQ(query, "cfg|pub|chan");
  ASSERT_TRUE(session->config());
  EXPECT_NE(session->config(), adsConfig);
  EXPECT_EQ(session->config()->onDemand.midrollTime, 120);  // completed after the download
  EXPECT_FALSE(adsConfig->live.prerollPods);                // the object was not touched
}

TEST_F(TelvoraSessionTest, ReportsWhyTheConfigurationCouldNotBeObtained) {
  test::LocalHttpServer server;
  server.server().Get("/missing",
                      [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  server.server().Get("/garbage", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(R"({"data": {"default": {}, "live": {"prerollPods": "1"}, "onDemand": {}}})",
                    "application/json");
  });
  struct Case {
    std::string configURL;
    std::string contentURL;
    TelvoraSession::Error error;
  };
  const Case cases[] = {
      {server.url("/missing"), "https://cdn/a.m3u8", ConfigProvider::Error::httpError},
      {server.url("/garbage"), "https://cdn/a.m3u8", ConfigProvider::Error::decodeFailed},
      {"http://127.0.0.1:" + std::to_string(test::unusedLocalPort()) + "/c", "https://cdn/a.m3u8",
       ConfigProvider::Error::uknownError},
      {"not a base url", "https://cdn/a.m3u8", ConfigProvider::Error::urlNotFound},
      {"file:///nonexistent/telvora/config.json", "https://cdn/a.m3u8",
       ConfigProvider::Error::fileNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.configURL);
    auto session = TelvoraSession::create(identity(c.configURL, nullptr), nullptr);
    auto result = prepare(*session, c.contentURL);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), c.error) << TelvoraSession::describe(result.error());
    EXPECT_FALSE(result.detail().empty());
  }
  auto garbage = TelvoraSession::create(identity(server.url("/garbage"), nullptr), nullptr);
  EXPECT_EQ(prepare(*garbage).detail(), "data.live.prerollPods: expected an integer, got a string");
}

TEST_F(TelvoraSessionTest, AContentURLThatIsNotAURLFailsClearly) {
  auto adsConfig = configOf(R"({"default": {}, "live": {}, "onDemand": {}})");
  auto session = TelvoraSession::create(identity(std::nullopt, adsConfig), nullptr);
  auto result = prepare(*session, "not a url");
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error(), TelvoraSession::Error(SessionError::invalidContentURL));
}

TEST_F(TelvoraSessionTest, SetConfigInstallsTheObjectUnchangedAndChoosesForTheVideoType) {
  auto session = TelvoraSession::create(identity(std::nullopt, nullptr), nullptr);
  auto config = configOf(R"({"default": {"midrollTime": 60, "breakingAdsMode": "cue"},
                             "live": {"breakingAdsMode": "default"}, "onDemand": {}})");
  session->setConfig(config);
  EXPECT_EQ(session->config(), config);
  EXPECT_FALSE(config->live.midrollTime);  // not completed from the defaults
  // Before the video type is known the on-demand settings count, and they
  // name no mode here.
  EXPECT_EQ(Peer::chosen(*session), BehaviourKind::none);
  Peer::setVideoType(*session, VideoType::live);
  EXPECT_EQ(Peer::chosen(*session), BehaviourKind::liveSlots);
}

TEST_F(TelvoraSessionTest, SetConfigURLReplacesTheConfigurationOnlyOnSuccess) {
  test::LocalHttpServer server;
  server.server().Get("/good", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(kServedDocument, "application/json");
  });
  server.server().Get("/bad",
                      [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  auto session = TelvoraSession::create(identity(std::nullopt, nullptr), nullptr);
  auto first = configOf(R"({"default": {}, "live": {}, "onDemand": {"breakingAdsMode": "cue"}})");
  session->setConfig(first);

  session->setConfigURL(server.url("/bad"));
  runUntil([&] { return server.requestCount("/bad") == 1; });
  RunLoop::main().runFor(std::chrono::milliseconds(200));
  EXPECT_EQ(session->config(), first);
  EXPECT_EQ(Peer::chosen(*session), BehaviourKind::cue);

  session->setConfigURL(server.url("/good"));
  runUntil([&] { return session->config() != first; });
  EXPECT_EQ(session->config()->onDemand.midrollTime, 120);
  EXPECT_EQ(Peer::chosen(*session), BehaviourKind::interval);
}

TEST_F(TelvoraSessionTest, ConsentStringIsStored) {
  auto session = TelvoraSession::create(identity(std::nullopt, nullptr), nullptr);
  session->setConsentString("CPX-consent");
  EXPECT_EQ(session->sdkConfig().consentString, "CPX-consent");
}

}  // namespace
}  // namespace telvora
