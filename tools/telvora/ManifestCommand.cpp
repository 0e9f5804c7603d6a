#include "ManifestCommand.hpp"

#include "manifest/ManifestParser.hpp"
#include "platform/hls/Playlist.hpp"
#include "platform/http/HttpClient.hpp"
#include "platform/text/DoubleText.hpp"
#include "platform/url/Url.hpp"

#include <cmath>
#include <fstream>
#include <future>
#include <iostream>
#include <sstream>

namespace telvora::tool {
namespace {

constexpr std::size_t kMaxBody = 64 << 20;

struct Loaded {
  Bytes body;
  std::string error;  // "kind: detail" when body is null
};

Loaded fetch(const std::string& url) {
  HttpRequest request;
  request.url = url;
  request.timeoutInterval = 30;
  request.maxBodySize = kMaxBody;
  std::promise<Loaded> answer;
  auto task = HttpClient::shared()->dataTask(
      request,
      [&answer](Bytes body, std::optional<HttpResponse> response, std::optional<HttpError> error) {
        if (error) {
          answer.set_value({nullptr, std::string(toString(error->code)) + ": " + error->message});
        } else if (response->statusCode < 200 || response->statusCode > 299) {
          answer.set_value({nullptr, "httpError: status " + std::to_string(response->statusCode)});
        } else {
          answer.set_value({std::move(body), {}});
        }
      });
  return answer.get_future().get();
}

Loaded readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {nullptr, "fileNotFound: cannot read " + path};
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return {nullptr, "fileNotFound: cannot read " + path};
  return {std::make_shared<const std::string>(std::move(text).str()), {}};
}

Loaded load(const std::string& source) {
  if (std::optional<Url> url = Url::parse(source)) {
    if (url->scheme == "http" || url->scheme == "https") return fetch(source);
    if (url->scheme == "file") return readFile(percentDecode(url->path));
  }
  return readFile(source);
}

std::string number(double value) {
  return std::isfinite(value) ? doubleText(value) : "null";
}

}  // namespace

int runManifestCommand(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::cerr << "usage: telvora manifest FILE|URL\n";
    return 2;
  }
  const Loaded loaded = load(args[0]);
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
