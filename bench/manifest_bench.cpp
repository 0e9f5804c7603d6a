// Cost of what the proxy path does with every body it serves: the live/vod
// check, the cue-point analysis and the master rewrite, on a large on-demand
// playlist and on a media segment (which must cost next to nothing).
#include "manifest/ManifestParser.hpp"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using telvora::Bytes;
using telvora::ManifestParser;

// 10,000 segments of 6 s with a 30 s break every 200 segments, marked by a
// CUE-OUT, four CUE-OUT-CONTs and a CUE-IN.
Bytes onDemandPlaylist() {
  std::string text =
      "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:6\n#EXT-X-PLAYLIST-TYPE:VOD\n"
      "#EXT-X-MEDIA-SEQUENCE:0\n";
  for (int i = 0; i < 10000; ++i) {
    const int inBreak = i % 200 - 100;
    if (inBreak == 0) text += "#EXT-X-CUE-OUT:30\n";
    if (inBreak > 0 && inBreak < 5)
      text += "#EXT-X-CUE-OUT-CONT:ElapsedTime=" + std::to_string(6 * inBreak) + ",Duration=30\n";
    if (inBreak == 5) text += "#EXT-X-CUE-IN\n";
    text +=
        "#EXTINF:6.000,\nhttps://cdn.example.com/vod/720p/segment" + std::to_string(i) + ".ts\n";
  }
  text += "#EXT-X-ENDLIST\n";
  return std::make_shared<const std::string>(std::move(text));
}

// 2 MB of transport-stream-like bytes.
Bytes mediaSegment() {
  std::string bytes(2 << 20, '\0');
  std::mt19937 random(7);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = i % 188 == 0 ? '\x47' : static_cast<char>(random());
  return std::make_shared<const std::string>(std::move(bytes));
}

void analyse(benchmark::State& state, const Bytes& body) {
  ManifestParser parser;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ManifestParser::checkVideoType(*body));
    parser.setPlayListData(body);
    benchmark::DoNotOptimize(parser.cuePoints());
    benchmark::DoNotOptimize(
        ManifestParser::updateMasterManifest("cdn.example.com", body, "localhost:8080"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body->size()));
}

void BM_OnDemandPlaylist10000Segments(benchmark::State& state) {
  analyse(state, onDemandPlaylist());
}
BENCHMARK(BM_OnDemandPlaylist10000Segments)->Unit(benchmark::kMicrosecond);

void BM_MediaSegment2MB(benchmark::State& state) {
  analyse(state, mediaSegment());
}
BENCHMARK(BM_MediaSegment2MB)->Unit(benchmark::kNanosecond);

void BM_MasterPlaylistRewrite(benchmark::State& state) {
  std::string text = "#EXTM3U\n";
  for (int i = 0; i < 8; ++i)
    text += "#EXT-X-STREAM-INF:BANDWIDTH=" + std::to_string(400000 * (i + 1)) +
            "\nhttps://cdn.example.com/live/" + std::to_string(i) + "/index.m3u8\n";
  const Bytes body = std::make_shared<const std::string>(text);
  for (auto _ : state)
    benchmark::DoNotOptimize(
        ManifestParser::updateMasterManifest("cdn.example.com", body, "localhost:8080"));
}
BENCHMARK(BM_MasterPlaylistRewrite)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
