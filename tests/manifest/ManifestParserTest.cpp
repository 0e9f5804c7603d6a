#include "manifest/ManifestParser.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace telvora {

void PrintTo(const CuePoint& cue, std::ostream* out) {
  *out << "{" << cue.timeStart << " -> " << cue.timeEnd << ", type " << static_cast<int>(cue.type)
       << "}";
}

namespace {

Bytes bytes(std::string text) {
  return std::make_shared<const std::string>(std::move(text));
}

// A media playlist of `segments` 10-second segments; extra[i] holds the lines
// put right before segment i (1-based), extra[segments + 1] those after the last.
std::string media(int segments, std::map<int, std::string> extra, bool endList = false) {
  std::string text = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n";
  for (int i = 1; i <= segments; ++i) {
    text += extra[i];
    text += "#EXTINF:10.0,\nseg" + std::to_string(i) + ".ts\n";
  }
  text += extra[segments + 1];
  if (endList) text += "#EXT-X-ENDLIST\n";
  return text;
}

struct Published {
  int calls = 0;
  std::vector<CuePoint> cuePoints;
  double total = -1;
};

ManifestParser::ManifestParsed recordInto(Published& published) {
  return [&published](const std::vector<CuePoint>& cuePoints, double total) {
    ++published.calls;
    published.cuePoints = cuePoints;
    published.total = total;
  };
}

CuePoint cue(double start, double end) {
  return CuePoint(start, end, CuePoint::CuePointType::startAdd);
}

std::vector<CuePoint> analyse(const std::string& playlist, double* total = nullptr) {
  ManifestParser parser;
  parser.setPlayListData(bytes(playlist));
  if (total) *total = parser.timeCounter();
  return parser.cuePoints().value_or(std::vector<CuePoint>{});
}

TEST(ManifestParser, TellsLiveFromOnDemand) {
  const std::string master = "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nlow.m3u8\n";
  const std::pair<std::string, std::optional<VideoType>> cases[] = {
      {media(3, {}, true), VideoType::vod},
      {media(3, {}), VideoType::live},
      {media(3, {}, true) + "#EXT-X-VENDOR-AFTER-END:1\n", VideoType::vod},
      {"#EXTM3U\r\n#EXTINF:6,\r\na.ts\r\n#EXT-X-ENDLIST\r\n", VideoType::vod},
      {"\xEF\xBB\xBF#EXTM3U\n#EXT-X-TARGETDURATION:6\n", VideoType::live},
      {master, std::nullopt},
      {std::string("\x47\x40\x00\x10", 4) + std::string(4096, '\0'), std::nullopt},
      {"#EXTM3U\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [body, expected] : cases)
    EXPECT_EQ(ManifestParser::checkVideoType(body), expected) << body;
}

TEST(ManifestParser, FindsABreakAndItsCueIn) {
  double total = 0;
  // CUE-OUT:30 before segment 2 and CUE-IN before segment 5, of 5 segments.
  EXPECT_EQ(analyse(media(5, {{2, "#EXT-X-CUE-OUT:30\n"}, {5, "#EXT-X-CUE-IN\n"}}), &total),
            std::vector<CuePoint>{cue(40, 10)});
  EXPECT_EQ(total, 50);

  // A CUE-IN inside the announced duration closes the break early; one after
  // it does not stretch the break.
  EXPECT_EQ(analyse(media(5, {{2, "#EXT-X-CUE-OUT:30\n"}, {4, "#EXT-X-CUE-IN\n"}})),
            std::vector<CuePoint>{cue(40, 20)});
  EXPECT_EQ(analyse(media(5, {{2, "#EXT-X-CUE-OUT:15\n"}, {4, "#EXT-X-CUE-IN\n"}})),
            std::vector<CuePoint>{cue(40, 25)});
}

TEST(ManifestParser, OneBreakMarkedWithContinuationTagsGivesOneCuePoint) {
  const std::map<int, std::string> tags = {{2, "#EXT-X-CUE-OUT:30\n"},
                                           {3, "#EXT-X-CUE-OUT-CONT:ElapsedTime=10,Duration=30\n"},
                                           {4, "#EXT-X-CUE-OUT-CONT:ElapsedTime=20,Duration=30\n"},
                                           {5, "#EXT-X-CUE-IN\n"}};
  EXPECT_EQ(analyse(media(5, tags)), std::vector<CuePoint>{cue(40, 10)});

  std::map<int, std::string> slashes = tags;
  slashes[3] = "#EXT-X-CUE-OUT-CONT:10/30\n";
  slashes[4] = "#EXT-X-CUE-OUT-CONT:20/30\n";
  EXPECT_EQ(analyse(media(5, slashes)), std::vector<CuePoint>{cue(40, 10)});
}

TEST(ManifestParser, ABreakUnderWayAtTheEndEndsWhereItsDurationSays) {
  // A live window that starts 20 s into a 30 s break and has no CUE-IN yet:
  // the break began 20 s before the window's first segment.
  const std::map<int, std::string> tags = {{1, "#EXT-X-CUE-OUT-CONT:ElapsedTime=20,Duration=30\n"}};
  double total = 0;
  EXPECT_EQ(analyse(media(3, tags), &total), std::vector<CuePoint>{cue(50, 20)});
  EXPECT_EQ(total, 30);
  // Without a duration the break has no length.
  EXPECT_EQ(analyse(media(3, {{1, "#EXT-X-CUE-OUT-CONT:ElapsedTime=20,SCTE35=x\n"}})),
            std::vector<CuePoint>{cue(50, 50)});
}

TEST(ManifestParser, ReadsCueOutValuesAndSegmentTitles) {
  const std::pair<const char*, double> cases[] = {
      {"#EXT-X-CUE-OUT:30\n", 30},
      {"#EXT-X-CUE-OUT:DURATION=30\n", 30},
      {"#EXT-X-CUE-OUT:DURATION=25,ID=7,CUE=\"a,b\"\n", 25},
      {"#EXT-X-CUE-OUT:4,SpliceType=x\n", 4},
      {"#EXT-X-CUE-OUT\n", 0},
  };
  for (const auto& [tag, duration] : cases)
    EXPECT_EQ(analyse(media(4, {{2, tag}})), std::vector<CuePoint>{cue(30, 30 - duration)}) << tag;

  double total = 0;
  analyse("#EXTM3U\n#EXTINF:10.0,Intro\na.ts\n#EXTINF:9.5,\nb.ts\n#EXTINF:2\nc.ts\n", &total);
  EXPECT_EQ(total, 21.5);
}

TEST(ManifestParser, ListsBreaksNearestTheEndFirst) {
  const std::map<int, std::string> tags = {{2, "#EXT-X-CUE-OUT:10\n"},
                                           {3, "#EXT-X-CUE-IN\n"},
                                           {6, "#EXT-X-CUE-OUT:20\n"},
                                           {8, "#EXT-X-CUE-IN\n"}};
  EXPECT_EQ(analyse(media(10, tags)), (std::vector<CuePoint>{cue(50, 30), cue(90, 80)}));
}

TEST(ManifestParser, PublishesTheFirstMediaPlaylistAndRefreshesOnRequest) {
  ManifestParser parser;
  Published published;
  parser.manifestParsed = recordInto(published);

  // Master playlists and segments change nothing.
  parser.setPlayListData(bytes("#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nlow.m3u8\n"));
  parser.setPlayListData(bytes(std::string("\x47\x40", 2)));
  parser.updateManifest();
  EXPECT_EQ(published.calls, 0);
  EXPECT_FALSE(parser.cuePoints());

  parser.setPlayListData(bytes(media(5, {{2, "#EXT-X-CUE-OUT:30\n"}})));
  EXPECT_EQ(published.calls, 1);
  EXPECT_EQ(published.cuePoints, std::vector<CuePoint>{cue(40, 10)});
  EXPECT_EQ(published.total, 50);

  // A live refresh: the window slid by one segment and a new break appeared.
  parser.setPlayListData(bytes(media(5, {{1, "#EXT-X-CUE-OUT:30\n"}, {5, "#EXT-X-CUE-OUT:10\n"}})));
  EXPECT_EQ(published.calls, 1);
  EXPECT_EQ(parser.cuePoints(), (std::vector<CuePoint>{cue(10, 0), cue(50, 20)}));
  parser.setPlayListData(bytes("<html>502</html>"));
  parser.updateManifest();
  EXPECT_EQ(published.calls, 2);
  EXPECT_EQ(published.cuePoints, (std::vector<CuePoint>{cue(10, 0), cue(50, 20)}));
  EXPECT_EQ(published.total, 50);

  // A playlist without cue tags publishes an empty list.
  parser.setPlayListData(bytes(media(2, {})));
  parser.updateManifest();
  EXPECT_TRUE(published.cuePoints.empty());
  EXPECT_EQ(published.total, 20);
}

TEST(ManifestParser, RewritesMasterPlaylistsForTheProxy) {
  const std::string master =
      "#EXTM3U\n"
      "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",URI=\"https://cdn.example.com/audio/en.m3u8\"\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=800000,AUDIO=\"aud\"\n"
      "https://cdn.example.com/video/low.m3u8?token=cdn.example.com\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=1600000\n"
      "http://cdn.example.com/video/high.m3u8\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=3200000\n"
      "https://other.example.net/video/top.m3u8\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=400000\n"
      "video/relative.m3u8\n";
  const std::string expected =
      "#EXTM3U\n"
      "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",URI=\"http://localhost:8080/audio/en.m3u8\"\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=800000,AUDIO=\"aud\"\n"
      "http://localhost:8080/video/low.m3u8?token=localhost:8080\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=1600000\n"
      "http://localhost:8080/video/high.m3u8\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=3200000\n"
      "https://other.example.net/video/top.m3u8\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=400000\n"
      "video/relative.m3u8\n";
  const Bytes rewritten =
      ManifestParser::updateMasterManifest("cdn.example.com", bytes(master), "localhost:8080");
  EXPECT_EQ(*rewritten, expected);

  // Everything else comes back as the very same bytes.
  const std::string others[] = {
      media(3, {}, true) + "#cdn.example.com\n",
      "#EXTM3U\n#EXT-X-STREAM-INF:B=1\nhttps://cdn.example.com/\xC3(.m3u8\n", "cdn.example.com"};
  for (const std::string& other : others) {
    const Bytes body = bytes(other);
    EXPECT_EQ(ManifestParser::updateMasterManifest("cdn.example.com", body, "localhost:8080"),
              body);
  }
  const Bytes body = bytes(master);
  EXPECT_EQ(ManifestParser::updateMasterManifest("", body, "localhost:8080"), body);
  EXPECT_EQ(ManifestParser::updateMasterManifest("cdn.example.com", nullptr, "x"), nullptr);
}

}  // namespace
}  // namespace telvora

namespace telvora {
namespace {

// The break closing done the plain way, marker by marker, against which the
// analysis' faster search is checked on random playlists.
std::vector<CuePoint> closedThePlainWay(const std::string& playlist) {
  ManifestParser open;  // the same playlist without its CUE-INs gives the open breaks
  std::string withoutCueIns;
  std::vector<double> markers;
  double counter = 0;
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < playlist.size();) {
    const std::size_t end = playlist.find('\n', at);
    lines.push_back(playlist.substr(at, end - at));
    at = end == std::string::npos ? playlist.size() : end + 1;
  }
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (line->starts_with("#EXTINF:")) counter += std::stod(line->substr(8));
    if (*line == "#EXT-X-CUE-IN") markers.push_back(counter);
  }
  for (const std::string& line : lines)
    if (line != "#EXT-X-CUE-IN") withoutCueIns += line + "\n";
  open.setPlayListData(bytes(withoutCueIns));
  std::vector<CuePoint> breaks = *open.cuePoints();
  for (CuePoint& b : breaks)
    for (double m : markers)
      if (b.timeEnd <= m && m <= b.timeStart) b.timeEnd = m;
  return breaks;
}

TEST(ManifestParser, ClosesBreaksAsTheMarkerByMarkerRuleDoes) {
  std::mt19937 random(2024);
  for (int round = 0; round < 200; ++round) {
    std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n";
    for (int segment = 0; segment < 40; ++segment) {
      const unsigned pick = random() % 10;
      if (pick == 0) playlist += "#EXT-X-CUE-OUT:" + std::to_string(random() % 60) + "\n";
      if (pick == 1) playlist += "#EXT-X-CUE-IN\n";
      if (pick == 2)
        playlist += "#EXT-X-CUE-OUT-CONT:ElapsedTime=" + std::to_string(random() % 30) +
                    ",Duration=" + std::to_string(random() % 60) + "\n";
      playlist += "#EXTINF:" + std::to_string(1 + random() % 10) + ".5,\ns.ts\n";
    }
    EXPECT_EQ(analyse(playlist), closedThePlainWay(playlist)) << playlist;
  }
}

}  // namespace
}  // namespace telvora
