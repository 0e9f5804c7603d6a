#pragma once

#include <telvora/platform/AdSdk.hpp>
#include <telvora/platform/AdsLoader.hpp>

#include "platform/adsdk/VastResolver.hpp"

#include <memory>
#include <vector>

namespace telvora {

class HttpClient;

// The reference SDK's ads loader. Each request is read (and its wrappers
// followed, VastResolver) into one inline ad, which comes back as a
// ReferenceAdsManager; a request without a display container or view, or
// whose chain ends in no playable ad, fails with the AdErrorCode of the
// cause and a message naming it.
//
// Main queue only. requestAds() returns at once; the document itself is
// read in a later main-queue task (it is a single ad, small), the wrappers'
// documents on the HTTP client's thread. Requests run side by side; dropping
// the loader cancels those still fetching.
class ReferenceAdsLoader final : public AdsLoader,
                                 public std::enable_shared_from_this<ReferenceAdsLoader> {
 public:
  ReferenceAdsLoader(AdsSettings settings, std::shared_ptr<HttpClient> http);
  ~ReferenceAdsLoader() override;

  void setDelegate(std::weak_ptr<AdsLoaderDelegate> delegate) override;
  void requestAds(AdsRequest request) override;

 private:
  void load(const AdsRequest& request);
  void answer(const AdsRequest& request, const VastResolver* resolver,
              VastResolver::Outcome outcome);

  AdsSettings settings_;
  std::shared_ptr<HttpClient> http_;
  std::weak_ptr<AdsLoaderDelegate> delegate_;
  std::vector<std::shared_ptr<VastResolver>> resolving_;
};

}  // namespace telvora
