#pragma once

#include <telvora/SDKConfig.hpp>

#include "platform/url/Url.hpp"

#include <optional>
#include <string>
#include <vector>

namespace telvora {

// The URL of one configuration request: the base URL with its query replaced
// by the six items that tell the server who asks, in this order: "cb" (a
// random number that makes every request text new), "TL_PUBLISHERID",
// "TL_CHANNELID", "TL_CFGID", "TL_APPPKGNAME" (without value when the app
// has no package identifier) and "TL_APPNAME" ("TelvoraSdk" when the app has
// no name). The consent text is not sent.
class TelvoraConfigURL {
 public:
  TelvoraConfigURL(SDKConfig config, std::string baseURL);

  const SDKConfig config;
  const std::string baseURL;
  const std::vector<QueryItem> queryItems;

  // The request URL text, or nullopt when the base URL does not parse.
  std::optional<std::string> build() const;
};

}  // namespace telvora
