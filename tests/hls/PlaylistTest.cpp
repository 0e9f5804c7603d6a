#include "platform/hls/Playlist.hpp"

#include <gtest/gtest.h>

#include <string>

namespace telvora::hls {
namespace {

Tag tag(std::string_view name, std::string_view value) {
  return Tag{name, value};
}
Tag uri(std::string_view value) {
  return Tag{std::nullopt, value};
}

TEST(Playlist, ReadsWhatRealPackagersWrite) {
  // BOM, CRLF, blank and indented lines, a comment, a titled EXTINF, an unknown
  // tag between an EXTINF and its URI, and a last line without a line feed.
  const std::string body =
      "\xEF\xBB\xBF#EXTM3U\r\n"
      "#EXT-X-TARGETDURATION:10\r\n"
      "\r\n"
      "# packaged by hand\r\n"
      "   #EXTINF:10.0,Intro  \r\n"
      "\t#EXT-X-VENDOR-THING:a=b\r\n"
      "  seg1.ts\r\n"
      "#EXT-X-CUE-OUT\r\n"
      "#EXTINF:9.5,\n"
      "seg2.ts\n"
      "#EXT-X-ENDLIST";
  auto parsed = Playlist::parse(body);
  ASSERT_TRUE(parsed) << parsed.detail();
  EXPECT_EQ(parsed.value().kind, Playlist::Kind::media);
  const std::vector<Tag> expected = {tag("#EXT-X-TARGETDURATION", "10"),
                                     tag("#EXTINF", "10.0,Intro"),
                                     tag("#EXT-X-VENDOR-THING", "a=b"),
                                     uri("seg1.ts"),
                                     tag("#EXT-X-CUE-OUT", ""),
                                     tag("#EXTINF", "9.5,"),
                                     uri("seg2.ts"),
                                     tag("#EXT-X-ENDLIST", "")};
  EXPECT_EQ(parsed.value().tags, expected);
}

TEST(Playlist, TagsAreViewsIntoTheBody) {
  const std::string body = "#EXTM3U\n#EXTINF:6,\nsegment.ts\n";
  auto parsed = Playlist::parse(body);
  ASSERT_TRUE(parsed);
  for (const Tag& each : parsed.value().tags) {
    EXPECT_GE(each.value.data(), body.data());
    EXPECT_LE(each.value.data() + each.value.size(), body.data() + body.size());
  }
}

TEST(Playlist, TellsMasterFromMedia) {
  struct Case {
    const char* body;
    std::optional<Playlist::Kind> kind;  // none: ParseError::empty
  };
  const Case cases[] = {
      {"#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000\nlow.m3u8\n", Playlist::Kind::master},
      {"#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",URI=\"a.m3u8\"\n", Playlist::Kind::master},
      {"#EXTM3U\n#EXT-X-I-FRAME-STREAM-INF:URI=\"i.m3u8\"\n", Playlist::Kind::master},
      {"#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-INDEPENDENT-SEGMENTS\n#EXT-X-STREAM-INF:BW=1\na.m3u8",
       Playlist::Kind::master},
      {"#EXTM3U\n#EXTINF:6,\na.ts\n", Playlist::Kind::media},
      {"#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-MEDIA-SEQUENCE:0\n", Playlist::Kind::media},
      {"#EXTM3U\nsegment.ts\n", Playlist::Kind::media},
      {"#EXTM3U\n#EXT-X-VERSION:3\n# nothing else\n", std::nullopt},
      {"#EXTM3U", std::nullopt},
  };
  for (const Case& c : cases) {
    auto parsed = Playlist::parse(c.body);
    auto classified = Playlist::classify(c.body);
    if (c.kind) {
      ASSERT_TRUE(parsed) << c.body;
      ASSERT_TRUE(classified) << c.body;
      EXPECT_EQ(parsed.value().kind, *c.kind) << c.body;
      EXPECT_EQ(classified.value(), *c.kind) << c.body;
    } else {
      ASSERT_FALSE(parsed) << c.body;
      EXPECT_EQ(parsed.error(), ParseError::empty) << c.body;
      EXPECT_EQ(classified.error(), ParseError::empty) << c.body;
    }
  }
}

TEST(Playlist, RejectsWhatIsNoPlaylist) {
  const std::string segment("\x47\x40\x11\x10\x00\x42\xF0\x25", 8);
  const std::string cases[] = {"",
                               segment + std::string(1 << 20, '\xFF'),
                               "<html><body>404 Not Found</body></html>",
                               "#EXTM3UX\n#EXTINF:6,\na.ts\n",
                               "#EXTINF:6,\na.ts\n#EXTM3U\n",
                               std::string("\0#EXTM3U\n", 9)};
  for (const std::string& body : cases) {
    auto parsed = Playlist::parse(body);
    ASSERT_FALSE(parsed) << body.substr(0, 40);
    EXPECT_EQ(parsed.error(), ParseError::notAPlaylist);
    EXPECT_EQ(Playlist::classify(body).error(), ParseError::notAPlaylist);
  }
  // White space may come before the header.
  EXPECT_TRUE(Playlist::parse("\xEF\xBB\xBF \r\n\n  #EXTM3U \n#EXTINF:6,\na.ts"));
}

TEST(Playlist, FindsATagOnlyAsALineOfItsOwn) {
  const std::pair<const char*, bool> cases[] = {
      {"#EXTM3U\n#EXT-X-ENDLIST\n", true},
      {"#EXTM3U\r\n#EXT-X-ENDLIST\r\n", true},
      {"#EXTM3U\n   #EXT-X-ENDLIST  ", true},
      {"#EXTM3U\n#EXT-X-ENDLIST:ignored\n", true},
      {"#EXTM3U\n#EXT-X-ENDLIST\n#EXT-X-VENDOR:after\n", true},
      {"#EXTM3U\n# #EXT-X-ENDLIST\n", false},
      {"#EXTM3U\nseg#EXT-X-ENDLIST\n", false},
      {"#EXTM3U\n#EXT-X-ENDLISTS\n", false},
      {"#EXTM3U\n#EXT-X-ENDLIST junk\n#EXT-X-ENDLIST\n", true},
      {"#EXTM3U\n#EXTINF:6,\na.ts\n", false},
  };
  for (const auto& [body, expected] : cases)
    EXPECT_EQ(Playlist::containsTag(body, "#EXT-X-ENDLIST"), expected) << body;
}

}  // namespace
}  // namespace telvora::hls
