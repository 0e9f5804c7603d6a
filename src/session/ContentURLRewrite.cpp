#include "session/ContentURLRewrite.hpp"

#include "platform/url/Url.hpp"

namespace telvora {
namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

std::optional<ContentURLRewrite> rewriteContentURL(std::string_view contentURL,
                                                   std::string_view proxyAuthority) {
  const std::optional<Url> url = Url::parse(contentURL);
  if (!url) return std::nullopt;
  ContentURLRewrite result{std::string(contentURL), url->hostPort()};
  replaceAll(result.url, result.proxyHost, proxyAuthority);
  replaceAll(result.url, "https://", "http://");
  if (!Url::parse(result.url)) return std::nullopt;
  return result;
}

}  // namespace telvora
