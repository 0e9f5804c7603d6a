// The reference SDK end to end: ads responses and tracking over real HTTP
// from a local ad server, ad time on the main loop's manual clock.
#include <telvora/platform/AdSdk.hpp>
#include <telvora/platform/RunLoop.hpp>

#include "platform/adsdk/AdView.hpp"
#include "platform/adsdk/ReferenceAdSdk.hpp"
#include "platform/adsdk/VastDocument.hpp"
#include "platform/http/HttpClient.hpp"
#include "platform/text/DoubleText.hpp"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "adsdk/AdFixtures.hpp"
#include "support/FakeContentPlayer.hpp"
#include "support/LocalHttpServer.hpp"
#include "support/MainLoop.hpp"

namespace telvora {
namespace {

using namespace std::chrono_literals;
using test::adFixture;
using test::vastWith;
using Strings = std::vector<std::string>;

// Serves documents under /vast/ and answers tracking requests under /t/,
// keeping the query of each.
class AdServer {
 public:
  AdServer() {
    server_.server().set_keep_alive_max_count(1);
    server_.server().Get(R"(/vast/.*)",
                         [this](const httplib::Request& req, httplib::Response& res) {
                           std::lock_guard lock(mutex_);
                           const auto found = documents_.find(req.path);
                           if (found == documents_.end()) {
                             res.status = 404;
                             return;
                           }
                           res.set_content(found->second, "application/xml");
                         });
    server_.server().Get(R"(/t/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      std::string query;
      for (const auto& [name, value] : req.params) {
        query += (query.empty() ? "" : "&") + name + "=" + value;
      }
      std::lock_guard lock(mutex_);
      queries_[req.path].push_back(query);
      res.status = 204;
    });
  }

  void serve(const std::string& path, std::string document) {
    std::lock_guard lock(mutex_);
    documents_[path] = std::move(document);
  }
  std::string url(std::string_view path = "") const { return server_.url(path); }
  std::size_t requests(const std::string& path) const { return server_.requestCount(path); }
  // The queries of the tracking requests answered for `path`.
  Strings queries(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto found = queries_.find(path);
    return found == queries_.end() ? Strings{} : found->second;
  }

 private:
  // The state the handlers use comes first: it is made before the server's
  // threads start and outlives them.
  mutable std::mutex mutex_;
  std::map<std::string, std::string> documents_;
  std::map<std::string, Strings> queries_;
  // One worker, one request per connection: requests are served one at a
  // time. Debian's cpp-httplib is not built for ThreadSanitizer, and its
  // routing of concurrent requests shows up as races inside the library.
  test::LocalHttpServer server_{1};
};

// Both delegates of the ad player, writing down what it is told and when
// ("midpoint@15.0").
class Recorder final : public AdsLoaderDelegate, public AdsManagerDelegate {
 public:
  Strings log;
  int answers = 0;
  std::shared_ptr<AdsManager> manager;
  std::optional<AdError> failure;
  std::function<void(AdsManager&, AdEventKind)> onEvent;

  void adsLoaderDidLoad(AdsLoader&, const AdsLoadedData& data) override {
    ++answers;
    manager = data.adsManager;
  }
  void adsLoaderDidFail(AdsLoader&, const AdError& error) override {
    ++answers;
    failure = error;
  }
  void adsManagerDidReceiveAdEvent(AdsManager& m, const AdEvent& event) override {
    note(toString(event.kind));
    if (onEvent) onEvent(m, event.kind);
  }
  void adsManagerDidReceiveAdError(AdsManager&, const AdError&) override { note("error"); }
  void adsManagerDidRequestContentPause(AdsManager&) override { note("contentPause"); }
  void adsManagerDidRequestContentResume(AdsManager&) override { note("contentResume"); }

 private:
  void note(std::string_view what) {
    log.push_back(std::string(what) + "@" + doubleText(toSeconds(RunLoop::main().now())));
  }
};

bool isEightDigits(std::string_view text) {
  return text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

class ReferenceAdSdkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<ManualClock>());
    player->item = std::make_shared<test::FakePlayerItem>();
  }
  void TearDown() override {
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<SteadyClock>());
  }

  AdsRequest requestFor(std::string document) const {
    return {std::move(document), std::make_shared<AdDisplayContainer>(videoView),
            std::make_shared<ContentPlayhead>(player)};
  }

  // Requests `document` and waits for the loader's one answer.
  void load(std::string document) {
    loader->setDelegate(recorder);
    loader->requestAds(requestFor(std::move(document)));
    ASSERT_TRUE(test::runMainUntil([&] { return recorder->answers > 0; }));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(recorder->answers, 1);
  }

  // Loads `document`, then initialises and starts its manager as the ad
  // player does: start() once `loaded` has come.
  void startAd(std::string document) {
    load(std::move(document));
    ASSERT_TRUE(recorder->manager) << (recorder->failure ? recorder->failure->message : "");
    recorder->manager->setDelegate(recorder);
    recorder->manager->initialize(rendering);
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(recorder->log, Strings{"loaded@0.0"});
    recorder->manager->start();
    RunLoop::main().runUntilIdle();
  }

  std::shared_ptr<AdView> adOnScreen() const {
    if (videoView->subviews().size() != 1) return nullptr;
    return std::dynamic_pointer_cast<AdView>(videoView->subviews().front());
  }

  void waitForTracking(const Strings& paths) {
    EXPECT_TRUE(test::runMainUntil([&] {
      for (const std::string& path : paths) {
        if (server.queries(path).empty()) return false;
      }
      return true;
    }));
  }

  // A wrapper pointing to `adTagUri`, with an error URL at `errorPath`.
  std::string wrapperTo(const std::string& adTagUri, const std::string& errorPath) const {
    return vastWith("<Ad><Wrapper><VASTAdTagURI>" + adTagUri + "</VASTAdTagURI><Error>" +
                    server.url(errorPath) + "?code=[ERRORCODE]</Error></Wrapper></Ad>");
  }

  AdServer server;  // first: outlives the client that talks to it
  std::shared_ptr<HttpClient> http = std::make_shared<HttpClient>();
  std::shared_ptr<AdsLoader> loader = ReferenceAdSdk(http).makeAdsLoader(AdsSettings{});
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
  std::shared_ptr<test::FakeContentPlayer> player = std::make_shared<test::FakeContentPlayer>();
  std::shared_ptr<View> videoView = std::make_shared<View>(Rect{0, 0, 640, 360});
  AdsRenderingSettings rendering;
};

TEST_F(ReferenceAdSdkTest, PlaysAnInlineAdOnTheClockAndTracksIt) {
  player->item->time = 12.5;
  rendering.mimeTypes = {"video/mp4"};
  startAd(adFixture("inline.xml", server.url()));
  AdsManager& manager = *recorder->manager;

  EXPECT_EQ(recorder->log, (Strings{"loaded@0.0", "contentPause@0.0", "started@0.0"}));
  const std::shared_ptr<AdView> view = adOnScreen();
  ASSERT_TRUE(view);
  EXPECT_EQ(view->mediaFileURL(), "https://media.example.com/ad-720.mp4");
  EXPECT_EQ(view->frame, (Rect{0, 0, 640, 360}));

  RunLoop::main().runFor(fromSeconds(7.5));
  EXPECT_EQ(manager.adPlaybackInfo().currentMediaTime, 7.5);
  EXPECT_EQ(manager.adPlaybackInfo().totalMediaTime, 30.0);
  RunLoop::main().runFor(60s);
  EXPECT_EQ(recorder->log,
            (Strings{"loaded@0.0", "contentPause@0.0", "started@0.0", "firstQuartile@7.5",
                     "midpoint@15.0", "thirdQuartile@22.5", "complete@30.0", "allAdsCompleted@30.0",
                     "contentResume@30.0"}));
  EXPECT_TRUE(videoView->subviews().empty());
  EXPECT_EQ(manager.adPlaybackInfo().currentMediaTime, 30.0);

  const Strings fired = {"/t/impression", "/t/impression-2",   "/t/start",   "/t/first-quartile",
                         "/t/midpoint",   "/t/third-quartile", "/t/complete"};
  waitForTracking(fired);
  for (const std::string& path : fired)
    EXPECT_EQ(server.requests(path), 1u) << path;
  for (const char* path : {"/t/pause", "/t/resume", "/t/close", "/t/error", "/t/creative-view"}) {
    EXPECT_EQ(server.requests(path), 0u) << path;
  }
  const Strings cacheBusted = server.queries("/t/impression");
  ASSERT_EQ(cacheBusted.size(), 1u);
  EXPECT_TRUE(cacheBusted[0].starts_with("cb=") && isEightDigits(cacheBusted[0].substr(3)))
      << cacheBusted[0];
  EXPECT_EQ(server.queries("/t/impression-2"), Strings{"at=00:00:12.500"});
}

TEST_F(ReferenceAdSdkTest, PauseHoldsTheAdTimeAndResumeGoesOn) {
  startAd(adFixture("inline.xml", server.url()));
  AdsManager& manager = *recorder->manager;
  RunLoop::main().runFor(10s);
  manager.resume();  // playing: nothing to resume
  manager.pause();
  manager.pause();
  RunLoop::main().runFor(20s);
  EXPECT_EQ(manager.adPlaybackInfo().currentMediaTime, 10.0);
  manager.resume();
  RunLoop::main().runFor(60s);
  EXPECT_EQ(recorder->log,
            (Strings{"loaded@0.0", "contentPause@0.0", "started@0.0", "firstQuartile@7.5",
                     "paused@10.0", "resumed@30.0", "midpoint@35.0", "thirdQuartile@42.5",
                     "complete@50.0", "allAdsCompleted@50.0", "contentResume@50.0"}));
  manager.resume();  // ended
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(recorder->log.size(), 11u);
  waitForTracking({"/t/pause", "/t/resume", "/t/complete"});
  EXPECT_EQ(server.requests("/t/pause"), 1u);
  EXPECT_EQ(server.requests("/t/resume"), 1u);
}

TEST_F(ReferenceAdSdkTest, DestroyMidAdSilencesItForGood) {
  startAd(adFixture("inline.xml", server.url()));
  AdsManager& manager = *recorder->manager;
  RunLoop::main().runFor(16s);
  manager.pause();  // its report is on its way when the manager is destroyed
  manager.destroy();
  EXPECT_TRUE(videoView->subviews().empty());
  manager.resume();
  manager.start();
  manager.pause();
  manager.destroy();
  RunLoop::main().runFor(60s);
  EXPECT_EQ(recorder->log.back(), "midpoint@15.0");
  EXPECT_EQ(manager.adPlaybackInfo().currentMediaTime, 16.0);
  waitForTracking({"/t/close", "/t/midpoint"});
  EXPECT_EQ(server.requests("/t/close"), 1u);
  EXPECT_EQ(server.requests("/t/third-quartile"), 0u);
  EXPECT_EQ(server.requests("/t/complete"), 0u);
}

TEST_F(ReferenceAdSdkTest, ADelegateMayDestroyAndDropTheManagerInsideAReport) {
  recorder->onEvent = [&](AdsManager& manager, AdEventKind kind) {
    if (kind != AdEventKind::started) return;
    manager.destroy();
    recorder->manager.reset();  // the last reference the ad player had
  };
  startAd(adFixture("inline.xml", server.url()));
  RunLoop::main().runFor(60s);
  EXPECT_EQ(recorder->log, (Strings{"loaded@0.0", "contentPause@0.0", "started@0.0"}));
  EXPECT_TRUE(videoView->subviews().empty());
}

TEST_F(ReferenceAdSdkTest, FollowsAWrapperChainAndTracksForEveryWrapper) {
  server.serve("/vast/next",
               vastWith("<Ad><Wrapper><VASTAdTagURI>" + server.url("/vast/inline") +
                        "</VASTAdTagURI><Impression>" + server.url("/t/wrapper2-impression") +
                        "</Impression></Wrapper></Ad>"));
  server.serve("/vast/inline", adFixture("inline.xml", server.url()));
  startAd(adFixture("wrapper.xml", server.url()));
  RunLoop::main().runFor(30s);
  EXPECT_EQ(recorder->log.back(), "contentResume@30.0");
  EXPECT_EQ(recorder->log.size(), 9u);

  EXPECT_EQ(server.requests("/vast/next"), 1u);
  EXPECT_EQ(server.requests("/vast/inline"), 1u);
  const Strings fired = {"/t/wrapper-impression", "/t/wrapper2-impression",
                         "/t/impression",         "/t/start",
                         "/t/wrapper-start",      "/t/complete",
                         "/t/wrapper-complete"};
  waitForTracking(fired);
  for (const std::string& path : fired)
    EXPECT_EQ(server.requests(path), 1u) << path;
  EXPECT_EQ(server.requests("/t/wrapper-error"), 0u);
}

TEST_F(ReferenceAdSdkTest, LoadingFailsWithTheCauseAndTellsTheWrappersOnTheWay) {
  const std::string inlineAd = adFixture("inline.xml", server.url());
  const std::string noLinear = vastWith(
      "<Ad><InLine><Creatives><Creative><CompanionAds/></Creative></Creatives></InLine></Ad>");
  const std::string noDuration =
      vastWith("<Ad><InLine><Creatives><Creative><Linear/></Creative></Creatives></InLine></Ad>");
  server.serve("/vast/empty", "<VAST version=\"4.0\"/>");
  server.serve("/vast/garbage", "<<< not xml");
  server.serve("/vast/huge", std::string(kMaxVastDocumentSize + 1, ' '));
  server.serve("/vast/inline", inlineAd);
  // Chains of wrappers under /vast/<name>/1, /2, ... ending in `last`.
  const auto chain = [&](const std::string& name, int wrappers, const std::string& last) {
    const std::string errors = "/t/" + name + "-error";
    for (int i = wrappers - 1; i >= 1; --i) {
      const std::string next =
          i == wrappers - 1 ? last : server.url("/vast/" + name + "/" + std::to_string(i + 1));
      server.serve("/vast/" + name + "/" + std::to_string(i), wrapperTo(next, errors));
    }
    return wrapperTo(wrappers == 1 ? last : server.url("/vast/" + name + "/1"), errors);
  };

  const struct {
    std::string name;
    std::string document;
    std::optional<AdErrorCode> error;  // nothing: the ad loads
    std::size_t errorPings;            // of the wrappers followed, each with `errorCode`
    std::string errorCode;
  } cases[] = {
      {"not-xml", "{not: xml}", AdErrorCode::documentMalformed, 0, ""},
      {"no-linear", noLinear, AdErrorCode::noPlayableAd, 0, ""},
      {"no-duration", noDuration, AdErrorCode::adMalformed, 0, ""},
      {"missing-tag", chain("missing-tag", 1, server.url("/vast/missing")),
       AdErrorCode::wrapperLoadFailed, 1, "301"},
      {"closed-port",
       chain("closed-port", 1, "http://127.0.0.1:" + std::to_string(test::unusedLocalPort())),
       AdErrorCode::wrapperLoadFailed, 1, "301"},
      {"not-http", chain("not-http", 1, "file:///etc/passwd"), AdErrorCode::wrapperLoadFailed, 1,
       "301"},
      {"to-garbage", chain("to-garbage", 2, server.url("/vast/garbage")),
       AdErrorCode::documentMalformed, 2, "100"},
      {"to-huge", chain("to-huge", 1, server.url("/vast/huge")), AdErrorCode::documentMalformed, 1,
       "100"},
      {"to-no-ad", chain("to-no-ad", 1, server.url("/vast/empty")), AdErrorCode::noPlayableAd, 1,
       "303"},
      {"loop", chain("loop", 3, server.url("/vast/loop/1")), AdErrorCode::wrapperLoop, 3, "302"},
      {"six-wrappers", chain("six-wrappers", 6, server.url("/vast/inline")),
       AdErrorCode::wrapperLimitReached, 6, "302"},
      {"five-wrappers", chain("five-wrappers", 5, server.url("/vast/inline")), std::nullopt, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recorder = std::make_shared<Recorder>();
    load(c.document);
    if (!c.error) {
      ASSERT_TRUE(recorder->manager) << recorder->failure->message;
      continue;
    }
    ASSERT_TRUE(recorder->failure);
    EXPECT_EQ(recorder->failure->code, *c.error) << recorder->failure->message;
    EXPECT_FALSE(recorder->failure->message.empty());
    const std::string errors = "/t/" + c.name + "-error";
    if (c.errorPings > 0) {
      EXPECT_TRUE(
          test::runMainUntil([&] { return server.queries(errors).size() >= c.errorPings; }));
    }
    EXPECT_EQ(server.queries(errors), Strings(c.errorPings, "code=" + c.errorCode));
  }
}

TEST_F(ReferenceAdSdkTest, ARequestWithoutAViewFailsAndADroppedLoaderAnswersNothing) {
  loader->setDelegate(recorder);
  loader->requestAds({adFixture("inline.xml"), nullptr, nullptr});
  loader->requestAds({adFixture("inline.xml"), std::make_shared<AdDisplayContainer>(nullptr),
                      std::make_shared<ContentPlayhead>(player)});
  EXPECT_EQ(recorder->answers, 0);  // never from inside requestAds()
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(recorder->answers, 2);
  ASSERT_TRUE(recorder->failure);
  EXPECT_EQ(recorder->failure->code, AdErrorCode::invalidRequest);

  loader->requestAds(requestFor(adFixture("inline.xml")));
  loader.reset();
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(recorder->answers, 2);
}

}  // namespace
}  // namespace telvora
