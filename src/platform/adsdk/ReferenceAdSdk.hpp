#pragma once

#include <telvora/platform/AdSdk.hpp>

#include <memory>

namespace telvora {

class HttpClient;

// The ad SDK the library ships: a small VAST player that runs on any
// machine. It reads the ads response (an inline linear ad, or wrappers
// followed to one over HTTP), "plays" the ad on the main run loop's clock
// with the events and tracking requests of a real player, and draws it as
// an AdView in the display container. See ReferenceAdsLoader and
// ReferenceAdsManager.
//
// Its loaders and managers share `http` (HttpClient::shared() when null) for
// wrapper fetches and tracking.
class ReferenceAdSdk final : public AdSdk {
 public:
  explicit ReferenceAdSdk(std::shared_ptr<HttpClient> http = nullptr);

  std::shared_ptr<AdsLoader> makeAdsLoader(const AdsSettings& settings) override;

 private:
  std::shared_ptr<HttpClient> http_;
};

}  // namespace telvora
