#include "config/TelvoraConfigURL.hpp"

#include <telvora/AppInfo.hpp>

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace telvora {
namespace {

SDKConfig identity(std::string channel = "chan", std::string publisher = "pub",
                   std::string configId = "cfg") {
  return SDKConfig(std::move(channel), std::move(publisher), std::move(configId), std::nullopt,
                   nullptr, "consent-text");
}

// Restores the app information the test changes.
class ConfigURLTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedName_ = AppInfo::name();
    savedPackage_ = AppInfo::packageIdentifier();
    AppInfo::setName("Player App");
    AppInfo::setPackageIdentifier("com.example.player");
  }
  void TearDown() override {
    AppInfo::setName(savedName_);
    AppInfo::setPackageIdentifier(savedPackage_);
  }

  // The URL with the random "cb" value replaced by "N".
  static std::string withoutCacheBuster(const std::string& url) {
    return std::regex_replace(url, std::regex("cb=[0-9]+"), "cb=N");
  }

 private:
  std::optional<std::string> savedName_;
  std::optional<std::string> savedPackage_;
};

TEST_F(ConfigURLTest, AppendsTheSixItemsInOrder) {
  struct Case {
    const char* base;
    const char* expected;
  };
  const Case cases[] = {
      {"https://cfg.example.com/v1/config",
       "https://cfg.example.com/v1/config?cb=N&TL_PUBLISHERID=pub&TL_CHANNELID=chan&TL_CFGID=cfg"
       "&TL_APPPKGNAME=com.example.player&TL_APPNAME=Player%20App"},
      // The base URL's own query is replaced; port and fragment stay.
      {"http://cfg.example.com:8443/config?old=1&x=2#top",
       "http://cfg.example.com:8443/config?cb=N&TL_PUBLISHERID=pub&TL_CHANNELID=chan"
       "&TL_CFGID=cfg&TL_APPPKGNAME=com.example.player&TL_APPNAME=Player%20App#top"},
      {"file:///etc/telvora/config.json",
       "file:///etc/telvora/config.json?cb=N&TL_PUBLISHERID=pub&TL_CHANNELID=chan&TL_CFGID=cfg"
       "&TL_APPPKGNAME=com.example.player&TL_APPNAME=Player%20App"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base);
    auto url = TelvoraConfigURL(identity(), c.base).build();
    ASSERT_TRUE(url);
    EXPECT_EQ(withoutCacheBuster(*url), c.expected);
  }
}

TEST_F(ConfigURLTest, EncodesIdentifiersAndHandlesMissingAppInformation) {
  AppInfo::setPackageIdentifier(std::nullopt);
  AppInfo::setName(std::nullopt);
  auto url = TelvoraConfigURL(identity("a b&c", "p=1", "ü/?"), "https://cfg/x").build();
  ASSERT_TRUE(url);
  EXPECT_EQ(withoutCacheBuster(*url),
            "https://cfg/x?cb=N&TL_PUBLISHERID=p%3D1&TL_CHANNELID=a%20b%26c&TL_CFGID=%C3%BC%2F%3F"
            "&TL_APPPKGNAME&TL_APPNAME=TelvoraSdk");
}

TEST_F(ConfigURLTest, OnlyTheCacheBusterDiffersBetweenRequests) {
  const TelvoraConfigURL first(identity(), "https://cfg/x");
  const TelvoraConfigURL second(identity(), "https://cfg/x");
  ASSERT_EQ(first.queryItems.size(), 6u);
  EXPECT_EQ(first.queryItems[0].first, "cb");
  EXPECT_NE(first.queryItems[0].second, second.queryItems[0].second);
  for (std::size_t i = 1; i < 6; ++i)
    EXPECT_EQ(first.queryItems[i], second.queryItems[i]);
  // The same object builds the same text every time.
  EXPECT_EQ(first.build(), first.build());

  const std::string& cb = *first.queryItems[0].second;
  EXPECT_TRUE(std::regex_match(cb, std::regex("0|[1-9][0-9]{0,18}"))) << cb;
  EXPECT_LT(std::stoull(cb), 9223372036854775807ULL);
}

TEST_F(ConfigURLTest, ABaseThatIsNotAURLBuildsNothing) {
  for (const char* base : {"", "not a url", "cfg.example.com/config", "http://ho st/x",
                           "http://host:80a/x", "https://h/%zz"}) {
    SCOPED_TRACE(base);
    EXPECT_FALSE(TelvoraConfigURL(identity(), base).build());
  }
}

}  // namespace
}  // namespace telvora
