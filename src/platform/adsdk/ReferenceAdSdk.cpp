#include "platform/adsdk/ReferenceAdSdk.hpp"

#include "platform/adsdk/ReferenceAdsLoader.hpp"
#include "platform/http/HttpClient.hpp"

namespace telvora {

ReferenceAdSdk::ReferenceAdSdk(std::shared_ptr<HttpClient> http)
    : http_(http ? std::move(http) : HttpClient::shared()) {}

std::shared_ptr<AdsLoader> ReferenceAdSdk::makeAdsLoader(const AdsSettings& settings) {
  return std::make_shared<ReferenceAdsLoader>(settings, http_);
}

}  // namespace telvora
