#pragma once

#include <telvora/platform/AdsLoader.hpp>
#include <telvora/platform/AdsManager.hpp>

#include <memory>

namespace telvora {

// Settings of an ads loader, made with their defaults by the ad player.
struct AdsSettings {
  // Wrappers followed in a row before the chain is given up.
  int maxRedirects = 5;
  // Seconds one wrapper's ad tag may take to fetch.
  double vastLoadTimeout = 8.0;
};

// The video-ad SDK the library plays ads through: the one object a host
// swaps to bring its own SDK. Its loaders hand out managers; everything else
// the ad player needs (AdDisplayContainer, ContentPlayhead, AdsRequest,
// AdsRenderingSettings) is a plain value of this interface that an
// implementation reads.
//
// The library ships a reference implementation that runs anywhere; a host
// implements AdSdk, AdsLoader and AdsManager over its real SDK, keeping
// their contracts: main queue only, callbacks on the main queue as tasks of
// their own, delegates held weakly.
class AdSdk {
 public:
  virtual ~AdSdk() = default;

  virtual std::shared_ptr<AdsLoader> makeAdsLoader(const AdsSettings& settings) = 0;
};

}  // namespace telvora
