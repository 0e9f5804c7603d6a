#include "platform/url/Url.hpp"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(Url, SplitsAndRebuildsTheTextItCameFrom) {
  struct Case {
    const char* text;
    const char* scheme;
    const char* host;
    std::optional<std::string> port;
    const char* path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;
  };
  const Case cases[] = {
      {"https://cdn.example.com/a/b.m3u8?x=1&y=2#t",
       "https",
       "cdn.example.com",
       {},
       "/a/b.m3u8",
       "x=1&y=2",
       "t"},
      {"HTTP://Example.com:8080", "http", "Example.com", "8080", "", {}, {}},
      {"http://user:pw@h:1/p", "http", "h", "1", "/p", {}, {}},
      {"http://[::1]:9000/a", "http", "[::1]", "9000", "/a", {}, {}},
      {"file:///tmp/a%20b.json?cb=1", "file", "", {}, "/tmp/a%20b.json", "cb=1", {}},
      {"file:relative.json", "file", "", {}, "relative.json", {}, {}},
      {"http://h/?", "http", "h", {}, "/", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto url = Url::parse(c.text);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme, c.scheme);
    EXPECT_EQ(url->host, c.host);
    EXPECT_EQ(url->port, c.port);
    EXPECT_EQ(url->path, c.path);
    EXPECT_EQ(url->query, c.query);
    EXPECT_EQ(url->fragment, c.fragment);
    // Only the scheme's case is normalised.
    std::string expected = c.text;
    for (std::size_t i = 0; i < url->scheme.size(); ++i)
      expected[i] = url->scheme[i];
    EXPECT_EQ(url->toString(), expected);
  }
  EXPECT_EQ(Url::parse("http://[::1]:9000/a")->hostName(), "::1");
  EXPECT_EQ(Url::parse("http://user@h:80/")->hostPort(), "h:80");
}

TEST(Url, RefusesWhatIsNotAURL) {
  for (const char* text :
       {"", "no scheme", "/just/a/path", "1http://h/", ":x", "http://h h/", "http://h:8o/",
        "http://h/%g1", "http://h/%2", "http://h/\x01", "http://h/caf\xc3\xa9", "http://h/a{b}",
        "http://[::1/a", "http://h/[x]", "http://h/a\"b"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(Url::parse(text));
  }
}

TEST(Url, QueryItemsArePercentEncodedAndDecoded) {
  EXPECT_EQ(encodeQuery({{"a b", "c&d=e"}, {"flag", std::nullopt}, {"x", ""}, {"~ok-_.", "1"}}),
            "a%20b=c%26d%3De&flag&x=&~ok-_.=1");
  EXPECT_EQ(percentDecode("a%20b%2Fc%zz%4"), "a b/c%zz%4");
  EXPECT_EQ(percentDecode(percentEncode("ü/? &")), "ü/? &");
}

}  // namespace
}  // namespace telvora
