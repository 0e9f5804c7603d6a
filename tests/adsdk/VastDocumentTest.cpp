// The document reader takes bytes from ad servers: it must find the ad a
// player would play, with every URL it has to report to, and turn anything
// else into the exact error case, never a crash.
#include "platform/adsdk/Tracker.hpp"
#include "platform/adsdk/VastDocument.hpp"

#include <gtest/gtest.h>

#include "adsdk/AdFixtures.hpp"

namespace telvora {
namespace {

using test::adFixture;
using test::vastWith;
using Strings = std::vector<std::string>;

std::string inlineAd(std::string_view id, std::string_view linear) {
  return "<Ad id=\"" + std::string(id) + "\"><InLine><Creatives><Creative>" + std::string(linear) +
         "</Creative></Creatives></InLine></Ad>";
}

TEST(VastDocument, ReadsAnInlineLinearAd) {
  auto read = readVastDocument(adFixture("inline.xml"));
  ASSERT_TRUE(read.ok()) << read.detail();
  const VastDocument& ad = read.value();
  EXPECT_EQ(ad.kind, VastDocument::Kind::inLine);
  EXPECT_EQ(ad.adId, "inline-30");
  EXPECT_EQ(ad.duration, 30.0);
  ASSERT_EQ(ad.mediaFiles.size(), 2u);
  EXPECT_EQ(ad.mediaFiles[0].url, "https://media.example.com/ad-720.webm");  // CDATA, trimmed
  EXPECT_EQ(ad.mediaFiles[1].url, "https://media.example.com/ad-720.mp4");
  EXPECT_EQ(ad.mediaFiles[1].type, "video/mp4");
  EXPECT_EQ(ad.impressions, (Strings{"{{SERVER}}/t/impression?cb=[CACHEBUSTING]",
                                     "{{SERVER}}/t/impression-2?at=[CONTENTPLAYHEAD]"}));
  EXPECT_EQ(ad.errors, Strings{"{{SERVER}}/t/error?code=[ERRORCODE]"});
  const std::pair<VastTrackingEvent, const char*> expected[] = {
      {VastTrackingEvent::start, "start"},
      {VastTrackingEvent::firstQuartile, "first-quartile"},
      {VastTrackingEvent::midpoint, "midpoint"},
      {VastTrackingEvent::thirdQuartile, "third-quartile"},
      {VastTrackingEvent::complete, "complete"},
      {VastTrackingEvent::pause, "pause"},
      {VastTrackingEvent::resume, "resume"},
      {VastTrackingEvent::close, "close"},  // written as closeLinear
  };
  for (const auto& [event, path] : expected) {
    EXPECT_EQ(ad.trackingFor(event), Strings{"{{SERVER}}/t/" + std::string(path)}) << path;
  }
}

TEST(VastDocument, ReadsAWrapperAndMergesItsTrackingIntoTheAd) {
  auto wrapper = readVastDocument(adFixture("wrapper.xml"));
  ASSERT_TRUE(wrapper.ok()) << wrapper.detail();
  EXPECT_EQ(wrapper.value().kind, VastDocument::Kind::wrapper);
  EXPECT_EQ(wrapper.value().adTagUri, "{{SERVER}}/vast/next?cb=[CACHEBUSTING]");
  EXPECT_EQ(wrapper.value().impressions, Strings{"{{SERVER}}/t/wrapper-impression"});

  auto ad = readVastDocument(adFixture("inline.xml"));
  ASSERT_TRUE(ad.ok());
  VastDocument merged = ad.value();
  addWrapperTracking(merged, wrapper.value());
  EXPECT_EQ(merged.impressions.size(), 3u);
  EXPECT_EQ(merged.errors.size(), 2u);
  EXPECT_EQ(merged.trackingFor(VastTrackingEvent::start),
            (Strings{"{{SERVER}}/t/start", "{{SERVER}}/t/wrapper-start"}));
  EXPECT_EQ(merged.trackingFor(VastTrackingEvent::midpoint).size(), 1u);
  EXPECT_EQ(merged.duration, 30.0);
}

TEST(VastDocument, PlaysTheFirstAdThatCanBePlayed) {
  const std::string document = vastWith(
      "<Ad id=\"banner\"><InLine><Creatives><Creative><NonLinearAds/></Creative>"
      "</Creatives></InLine></Ad>" +
      inlineAd("second", "<Linear><Duration>00:00:10</Duration></Linear>"));
  auto read = readVastDocument(document);
  ASSERT_TRUE(read.ok()) << read.detail();
  EXPECT_EQ(read.value().adId, "second");
  EXPECT_TRUE(read.value().mediaFiles.empty());  // nothing to show but still an ad to play
}

TEST(VastDocument, RefusesWhatItCannotPlay) {
  const struct {
    const char* name;
    std::string xml;
    VastDocumentError error;
  } cases[] = {
      {"empty", "", VastDocumentError::notXml},
      {"not XML", "this is { not XML", VastDocumentError::notXml},
      {"unclosed", "<VAST><Ad>", VastDocumentError::notXml},
      {"other root", "<html><Ad/></html>", VastDocumentError::notVast},
      {"no ad", "<VAST version=\"4.0\"/>", VastDocumentError::noAd},
      {"ad with no body", vastWith("<Ad id=\"x\"/>"), VastDocumentError::noAd},
      {"no linear creative",
       vastWith("<Ad><InLine><Creatives><Creative><CompanionAds/></Creative></Creatives>"
                "</InLine></Ad>"),
       VastDocumentError::noLinearCreative},
      {"missing Duration", vastWith(inlineAd("a", "<Linear><MediaFiles/></Linear>")),
       VastDocumentError::invalidDuration},
      {"unreadable Duration", vastWith(inlineAd("a", "<Linear><Duration>30s</Duration></Linear>")),
       VastDocumentError::invalidDuration},
      {"wrapper without ad tag",
       vastWith("<Ad><Wrapper><VASTAdTagURI>  </VASTAdTagURI></Wrapper></Ad>"),
       VastDocumentError::noAdTagUri},
      {"first failure reported", vastWith(inlineAd("a", "<Linear/>") + "<Ad><Wrapper/></Ad>"),
       VastDocumentError::invalidDuration},
      {"too large", std::string(kMaxVastDocumentSize + 1, ' '), VastDocumentError::tooLarge},
  };
  for (const auto& c : cases) {
    auto read = readVastDocument(c.xml);
    ASSERT_FALSE(read.ok()) << c.name;
    EXPECT_EQ(read.error(), c.error) << c.name << ": " << read.detail();
    EXPECT_FALSE(read.detail().empty()) << c.name;
  }
}

TEST(VastDocument, SurvivesDeepNestingAndCapsTheUrlsOfADocument) {
  std::string deep = "<VAST>";
  for (int i = 0; i < 200000; ++i)
    deep += "<Ad>";
  for (int i = 0; i < 200000; ++i)
    deep += "</Ad>";
  deep += "</VAST>";
  auto nested = readVastDocument(deep);
  ASSERT_FALSE(nested.ok());
  EXPECT_EQ(nested.error(), VastDocumentError::noAd);

  std::string impressions;
  for (int i = 0; i < 1000; ++i)
    impressions += "<Impression>http://t/" + std::to_string(i) + "</Impression>";
  auto many = readVastDocument(
      vastWith("<Ad><InLine>" + impressions +
               "<Creatives><Creative><Linear><Duration>00:00:05</Duration></Linear></Creative>"
               "</Creatives></InLine></Ad>"));
  ASSERT_TRUE(many.ok()) << many.detail();
  EXPECT_EQ(many.value().impressions.size(), kMaxVastUrlsPerList);
  EXPECT_EQ(many.value().impressions.front(), "http://t/0");
}

TEST(VastDocument, ReadsDurations) {
  const struct {
    const char* text;
    std::optional<double> seconds;
  } cases[] = {
      {"00:00:30", 30.0},
      {"00:01:30.5", 90.5},
      {" 01:00:00.250 ", 3600.25},
      {"0:00:15", 15.0},
      {"99:59:59.999", 359999.999},
      {"00:00:30.", std::nullopt},
      {"00:00:30.1234", std::nullopt},
      {"00:60:00", std::nullopt},
      {"00:00:60", std::nullopt},
      {"30", std::nullopt},
      {"00:30", std::nullopt},
      {"100:00:00", std::nullopt},
      {"-0:00:10", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<double> seconds = readVastDuration(c.text);
    ASSERT_EQ(seconds.has_value(), c.seconds.has_value()) << '"' << c.text << '"';
    if (seconds) {
      EXPECT_DOUBLE_EQ(*seconds, *c.seconds) << c.text;
    }
  }
}

TEST(TrackingMacros, FillsTheMacrosItKnowsAndKeepsTheRest) {
  const TrackingMacros values{405, 75.5, "12345678"};
  const struct {
    const char* url;
    const char* expanded;
  } cases[] = {
      {"http://t/e?c=[ERRORCODE]&cb=[CACHEBUSTING]", "http://t/e?c=405&cb=12345678"},
      {"http://t/p?at=[CONTENTPLAYHEAD]", "http://t/p?at=00:01:15.500"},
      {"http://t/o?x=[OTHER]&[ERRORCODE", "http://t/o?x=[OTHER]&[ERRORCODE"},
      {"[CACHEBUSTING][CACHEBUSTING]", "1234567812345678"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(expandTrackingMacros(c.url, values), c.expanded);
  EXPECT_EQ(expandTrackingMacros("e=[ERRORCODE]&at=[CONTENTPLAYHEAD]", {}), "e=&at=");

  for (int i = 0; i < 100; ++i) {
    const std::string buster = randomCacheBuster();
    ASSERT_EQ(buster.size(), 8u) << buster;
    EXPECT_NE(buster[0], '0');
  }
}

}  // namespace
}  // namespace telvora
