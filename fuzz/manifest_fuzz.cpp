// Arbitrary bytes through the playlist reader and every step the proxy path
// runs on a body: the live/vod check, the cue-point analysis and the master
// rewrite. Checks that the answers agree with each other.
#include "manifest/ManifestParser.hpp"
#include "platform/hls/Playlist.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using telvora::ManifestParser;
  namespace hls = telvora::hls;
  const auto body = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);

  auto parsed = hls::Playlist::parse(*body);
  auto kind = hls::Playlist::classify(*body);
  if (parsed.ok() != kind.ok() || (parsed && parsed.value().kind != kind.value())) std::abort();

  const auto videoType = ManifestParser::checkVideoType(*body);
  const bool media = parsed && parsed.value().kind == hls::Playlist::Kind::media;
  if (videoType.has_value() != media) std::abort();

  ManifestParser parser;
  int published = 0;
  parser.manifestParsed = [&](const std::vector<telvora::CuePoint>& cuePoints, double total) {
    ++published;
    if (!(total >= 0)) std::abort();
    for (const telvora::CuePoint& cue : cuePoints) {
      if (cue.type != telvora::CuePoint::CuePointType::startAdd) std::abort();
      if (std::isnan(cue.timeStart) || std::isnan(cue.timeEnd)) std::abort();
    }
  };
  parser.setPlayListData(body);
  if (published != (media ? 1 : 0)) std::abort();

  const auto rewritten = ManifestParser::updateMasterManifest("a.b", body, "localhost:8080");
  const bool master = parsed && parsed.value().kind == hls::Playlist::Kind::master;
  if (!master && rewritten != body) std::abort();
  return 0;
}
