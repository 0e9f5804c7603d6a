#include "vast/VASTLoader.hpp"

#include "support/LocalHttpServer.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <random>
#include <regex>
#include <set>
#include <sstream>

namespace telvora {
namespace {

using Error = VASTLoader::Error;

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(TELVORA_FIXTURES_DIR) + "/vast/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs one request and waits for its single completion.
VASTLoader::LoadResult request(const std::string& url, bool reserve = false) {
  auto answer = std::make_shared<std::promise<VASTLoader::LoadResult>>();
  auto calls = std::make_shared<std::atomic<int>>(0);
  VASTLoader loader([answer, calls](VASTLoader::LoadResult result) {
    if (calls->fetch_add(1) == 0) answer->set_value(std::move(result));
  });
  loader.requestVAST(url, reserve);
  auto future = answer->get_future();
  EXPECT_EQ(future.wait_for(std::chrono::seconds(20)), std::future_status::ready) << url;
  return future.get();
}

std::vector<std::int64_t> durations(const TelvoraVastList& ads) {
  std::vector<std::int64_t> seconds;
  for (const auto& ad : ads)
    seconds.push_back(ad->duration());
  return seconds;
}

TEST(VASTLoader, CutsAResponseIntoItsAdsInDocumentOrder) {
  const std::string text = fixture("three-ads.xml");
  const TelvoraVastList ads = VASTLoader::readAds(text);
  ASSERT_EQ(ads.size(), 3u);
  EXPECT_EQ(durations(ads), (std::vector<std::int64_t>{15, 90, 3}));  // the wrapper has none
  // Each record is the element's exact text; the AdSystem elements start none.
  EXPECT_TRUE(ads[0]->vast().starts_with("<Ad id=\"first\" sequence=\"1\">"));
  EXPECT_TRUE(ads[2]->vast().ends_with("</Wrapper>\n  </Ad>"));
  EXPECT_NE(text.find(ads[1]->vast()), std::string::npos);

  const std::regex uuid("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  std::set<std::string> ids;
  for (const auto& ad : VASTLoader::readAds(text + text)) {
    EXPECT_TRUE(std::regex_match(ad->id(), uuid)) << ad->id();
    ids.insert(ad->id());
  }
  EXPECT_EQ(ids.size(), 6u);  // identical texts, distinct records
}

TEST(VASTLoader, FindsTheAdsRealServersWrite) {
  const TelvoraVastList ads = VASTLoader::readAds(fixture("forms.xml"));
  // No attributes, attributes over several lines, the first of two Durations,
  // and a CDATA duration.
  EXPECT_EQ(durations(ads), (std::vector<std::int64_t>{15, 15, 20, 30}));
  ASSERT_EQ(ads.size(), 4u);
  EXPECT_TRUE(ads[1]->vast().starts_with("<Ad\n    id=\"multi-line\""));
}

TEST(VASTLoader, ReadsDurations) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"00:00:30", 30},
      {"00:01:05", 65},
      {"01:00:00", 3600},
      {"45", 45},
      {"2:30", 150},
      {"00:00:15.000", 15},
      {"00:00:14.5", 15},
      {"00:00:14.499", 14},
      {" 00:00:20 ", 20},
      {"<![CDATA[00:00:25]]>", 25},
      {"\n<![CDATA[ 00:01:00 ]]>\n", 60},
      {"1:00:00:10", 10},
      {"::10", 10},
      {"", 0},
      {"soon", 0},
      {"00:xx:10", 10},
      {"-00:00:-5", 0},
      {"99999999999999999999:00:00", 1000000000000},
  };
  for (const auto& [text, seconds] : cases)
    EXPECT_EQ(VASTLoader::durationSeconds(text), seconds) << text;
}

TEST(VASTLoader, GivesNothingForTextsWithoutAds) {
  const std::string cases[] = {
      "",
      "<VAST version=\"4.0\"/>",
      "<html><body>no fill</body></html>",
      "<Ad id=\"x\">never closed",
      "<Ad id=\"1\"><Duration>00:00:10</Duration>\xFF</Ad>",  // not UTF-8
      "<AdSystem>x</AdSystem><Advertiser>y</Advertiser>",
  };
  for (const std::string& text : cases)
    EXPECT_TRUE(VASTLoader::readAds(text).empty()) << text;
}

TEST(VASTLoader, MatchesAnyPatternAndRefusesABrokenOne) {
  EXPECT_EQ(VASTLoader::matches("a+", "caaab aa"), (std::vector<std::string_view>{"aaa", "aa"}));
  EXPECT_EQ(VASTLoader::matches("x*", "ab").size(), 3u);  // empty matches advance
  testing::internal::CaptureStdout();
  EXPECT_TRUE(VASTLoader::matches("(unclosed", "unclosed").empty());
  EXPECT_TRUE(testing::internal::GetCapturedStdout().starts_with("invalid regex: "));
}

TEST(VASTLoader, StaysLinearOnHostileText) {
  // Every candidate unclosed: one pass, not one per candidate.
  std::string text;
  for (int i = 0; i < 200000; ++i)
    text += "<Ad x ";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(VASTLoader::readAds(text).empty());
  text += "></Ad";
  EXPECT_TRUE(VASTLoader::readAds(text).empty());
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

class VASTLoaderServerTest : public testing::Test {
 protected:
  void SetUp() override {
    server.server().Get("/vast", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(fixture("three-ads.xml"), "application/xml");
    });
    server.server().Get("/status/(\\d+)", [](const httplib::Request& req, httplib::Response& res) {
      res.status = std::stoi(req.matches[1]);
    });
    server.server().Get("/huge", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(VASTLoader::kMaxResponseSize + 1, ' '), "application/xml");
    });
  }
  test::LocalHttpServer server;
};

TEST_F(VASTLoaderServerTest, DeliversTheAdsWithTheRequestsReserveFlag) {
  for (bool reserve : {false, true}) {
    auto result = request(server.url("/vast"), reserve);
    ASSERT_TRUE(result) << result.detail();
    EXPECT_EQ(result.value().ads.size(), 3u);
    EXPECT_EQ(result.value().reserve, reserve);
  }
  auto empty = request(server.url("/status/204"), true);
  ASSERT_TRUE(empty) << empty.detail();
  EXPECT_TRUE(empty.value().ads.empty());
  EXPECT_TRUE(empty.value().reserve);
}

TEST_F(VASTLoaderServerTest, ReportsEachFailureKind) {
  const std::pair<std::string, Error> cases[] = {
      {server.url("/status/302"), Error::httpError},  // no Location: not followed
      {server.url("/status/404"), Error::httpError},
      {server.url("/status/500"), Error::httpError},
      {server.url("/huge"), Error::decodeFailed},
      {"http://127.0.0.1:" + std::to_string(test::unusedLocalPort()) + "/vast", Error::uknownError},
      {"not a url", Error::uknownError},
      {"ftp://ads.example.com/vast", Error::uknownError},
  };
  for (const auto& [url, error] : cases) {
    auto result = request(url);
    ASSERT_FALSE(result) << url;
    EXPECT_EQ(result.error(), error) << url << ": " << result.detail();
  }
  EXPECT_EQ(server.requestCount("/huge"), 1u);
}

}  // namespace
}  // namespace telvora

namespace telvora {
namespace {

// The fast element search against RE2 running the same pattern over the
// whole text (the group around it sends it down the general path).
TEST(VASTLoader, FindsExactlyThePatternsMatches) {
  const std::string_view pattern = R"(<Ad(?:\s[^>]*)?>[\s\S]*?</Ad>)";
  const std::string plain = "(?:" + std::string(pattern) + ")";
  const char* pieces[] = {"<Ad", "<Ad ",       "<Ad>", ">",  "</Ad>", "\n",
                          "x",   "<AdSystem>", "</Ad", "\t", "<Ad\n"};
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i)
      text += pieces[random() % std::size(pieces)];
    EXPECT_EQ(VASTLoader::matches(pattern, text), VASTLoader::matches(plain, text)) << text;
  }
}

}  // namespace
}  // namespace telvora
