#include "Source.hpp"

#include "platform/http/HttpClient.hpp"
#include "platform/url/Url.hpp"

#include <fstream>
#include <future>
#include <sstream>

namespace telvora::tool {
namespace {

constexpr std::size_t kMaxBody = 64 << 20;

Source fetch(const std::string& url) {
  HttpRequest request;
  request.url = url;
  request.timeoutInterval = 30;
  request.maxBodySize = kMaxBody;
  std::promise<Source> answer;
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

}  // namespace

bool isWebURL(const std::string& argument) {
  const std::optional<Url> url = Url::parse(argument);
  return url && (url->scheme == "http" || url->scheme == "https");
}

Source readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {nullptr, "fileNotFound: cannot read " + path};
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return {nullptr, "fileNotFound: cannot read " + path};
  return {std::make_shared<const std::string>(std::move(text).str()), {}};
}

Source loadSource(const std::string& argument) {
  if (isWebURL(argument)) return fetch(argument);
  if (std::optional<Url> url = Url::parse(argument); url && url->scheme == "file")
    return readFile(percentDecode(url->path));
  return readFile(argument);
}

}  // namespace telvora::tool
