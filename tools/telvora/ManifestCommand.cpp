#include "ManifestCommand.hpp"

#include "Source.hpp"

#include "manifest/ManifestParser.hpp"
#include "platform/hls/Playlist.hpp"
#include "platform/text/DoubleText.hpp"

#include <cmath>
#include <iostream>
#include <sstream>

namespace telvora::tool {
namespace {

std::string number(double value) {
  return std::isfinite(value) ? doubleText(value) : "null";
}

}  // namespace

int runManifestCommand(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::cerr << "usage: telvora manifest FILE|URL\n";
    return 2;
  }
  const Source loaded = loadSource(args[0]);
  if (!loaded.body) {
    std::cerr << loaded.error << "\n";
    return 1;
  }

  auto kind = hls::Playlist::classify(*loaded.body);
  const char* kindName = !kind                                         ? "none"
                         : kind.value() == hls::Playlist::Kind::master ? "master"
                                                                       : "media";
  const std::optional<VideoType> videoType = ManifestParser::checkVideoType(*loaded.body);
  ManifestParser parser;
  parser.setPlayListData(loaded.body);

  std::ostringstream out;
  out << R"({"kind": ")" << kindName << R"(", "videoType": )"
      << (!videoType                      ? "null"
          : *videoType == VideoType::live ? R"("live")"
                                          : R"("vod")");
  if (const auto& cuePoints = parser.cuePoints()) {
    out << R"(, "totalDuration": )" << number(parser.timeCounter()) << R"(, "cuePoints": [)";
    for (std::size_t i = 0; i < cuePoints->size(); ++i) {
      out << (i ? ", " : "") << R"({"timeStart": )" << number((*cuePoints)[i].timeStart)
          << R"(, "timeEnd": )" << number((*cuePoints)[i].timeEnd) << "}";
    }
    out << "]}";
  } else {
    out << R"(, "totalDuration": null, "cuePoints": null})";
  }
  std::cout << out.str() << "\n";
  return 0;
}

}  // namespace telvora::tool
