#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace telvora {

// The content URL as the player must load it through the local proxy.
struct ContentURLRewrite {
  std::string url;        // what the app plays
  std::string proxyHost;  // the origin authority the proxy restores, host[:port]
};

inline constexpr std::string_view kDefaultProxyAuthority = "localhost:8080";

// Replaces every occurrence of the content URL's authority (host, with its
// port when it has one) by `proxyAuthority`, in the query too, then every
// "https://" by "http://": the proxy speaks plain http. A URL without a host
// keeps its text apart from the scheme step. nullopt when `contentURL` is
// not a URL, or the result is not one.
std::optional<ContentURLRewrite> rewriteContentURL(
    std::string_view contentURL, std::string_view proxyAuthority = kDefaultProxyAuthority);

}  // namespace telvora
