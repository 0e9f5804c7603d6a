#pragma once

#include <telvora/Config.hpp>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace telvora {

// The host app's identity, handed to TelvoraSession::create(). The
// configuration comes from `configURL` when it is present (downloaded, or read
// from a file:// URL), else from `adsConfig`.
//
// A plain value: the session keeps its own copy. `adsConfig` is shared by
// reference, though, and the session completes it in place.
struct SDKConfig {
  std::string channelId;    // sent as "TL_CHANNELID"
  std::string publisherId;  // sent as "TL_PUBLISHERID"
  std::string configId;     // sent as "TL_CFGID"
  std::optional<std::string> configURL;
  std::shared_ptr<Config> adsConfig;  // may be null
  std::optional<std::string> consentString;

  SDKConfig(std::string channelId, std::string publisherId, std::string configId,
            std::optional<std::string> configURL, std::shared_ptr<Config> adsConfig,
            std::optional<std::string> consentString)
      : channelId(std::move(channelId)),
        publisherId(std::move(publisherId)),
        configId(std::move(configId)),
        configURL(std::move(configURL)),
        adsConfig(std::move(adsConfig)),
        consentString(std::move(consentString)) {}
};

}  // namespace telvora
