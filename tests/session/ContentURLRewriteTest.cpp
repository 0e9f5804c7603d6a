#include "session/ContentURLRewrite.hpp"

#include <gtest/gtest.h>

namespace telvora {
namespace {

TEST(ContentURLRewrite, HandsThePlayerTheProxyInPlaceOfTheOrigin) {
  struct Case {
    const char* content;
    const char* url;
    const char* proxyHost;
  };
  const Case cases[] = {
      {"https://cdn.example.com/a/b.m3u8?x=1", "http://localhost:8080/a/b.m3u8?x=1",
       "cdn.example.com"},
      {"http://cdn.example.com/a.m3u8", "http://localhost:8080/a.m3u8", "cdn.example.com"},
      // Every occurrence goes, in the query too, and so does every "https://".
      {"https://cdn.example.com/a.m3u8?origin=cdn.example.com&next=https://other/x",
       "http://localhost:8080/a.m3u8?origin=localhost:8080&next=http://other/x", "cdn.example.com"},
      // An explicit port is part of what the proxy takes over.
      {"https://cdn.example.com:8443/live/index.m3u8", "http://localhost:8080/live/index.m3u8",
       "cdn.example.com:8443"},
      {"http://[::1]:9000/a.m3u8", "http://localhost:8080/a.m3u8", "[::1]:9000"},
      // No host: only the scheme step applies.
      {"file:///media/a.m3u8", "file:///media/a.m3u8", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    auto rewrite = rewriteContentURL(c.content);
    ASSERT_TRUE(rewrite);
    EXPECT_EQ(rewrite->url, c.url);
    EXPECT_EQ(rewrite->proxyHost, c.proxyHost);
  }
}

TEST(ContentURLRewrite, TakesTheProxyAuthorityAsAParameter) {
  auto rewrite = rewriteContentURL("https://cdn.example.com/a.m3u8", "127.0.0.1:49152");
  ASSERT_TRUE(rewrite);
  EXPECT_EQ(rewrite->url, "http://127.0.0.1:49152/a.m3u8");
}

TEST(ContentURLRewrite, RefusesWhatIsNotAURL) {
  EXPECT_FALSE(rewriteContentURL("cdn.example.com/a.m3u8"));
  EXPECT_FALSE(rewriteContentURL("https://cdn example/a.m3u8"));
}

}  // namespace
}  // namespace telvora
