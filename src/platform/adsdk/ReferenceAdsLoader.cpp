#include "platform/adsdk/ReferenceAdsLoader.hpp"

#include <telvora/platform/RunLoop.hpp>

#include "platform/adsdk/ReferenceAdsManager.hpp"
#include "platform/runloop/MainQueue.hpp"

#include <algorithm>

namespace telvora {

ReferenceAdsLoader::ReferenceAdsLoader(AdsSettings settings, std::shared_ptr<HttpClient> http)
    : settings_(settings), http_(std::move(http)) {}

ReferenceAdsLoader::~ReferenceAdsLoader() = default;

void ReferenceAdsLoader::setDelegate(std::weak_ptr<AdsLoaderDelegate> delegate) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  delegate_ = std::move(delegate);
}

void ReferenceAdsLoader::requestAds(AdsRequest request) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  RunLoop::main().async([weak = weak_from_this(), request = std::move(request)] {
    if (const std::shared_ptr<ReferenceAdsLoader> self = weak.lock()) self->load(request);
  });
}

void ReferenceAdsLoader::load(const AdsRequest& request) {
  if (!request.adDisplayContainer || !request.adDisplayContainer->adContainer()) {
    answer(request, nullptr,
           VastResolver::Outcome::failure(AdErrorCode::invalidRequest,
                                          "the request has no ad display container view"));
    return;
  }
  auto resolver = std::make_shared<VastResolver>(settings_, http_, request.contentPlayhead);
  resolving_.push_back(resolver);
  resolver->resolve(request.adsResponse, [weak = weak_from_this(), request,
                                          raw = resolver.get()](VastResolver::Outcome outcome) {
    if (const std::shared_ptr<ReferenceAdsLoader> self = weak.lock()) {
      self->answer(request, raw, std::move(outcome));
    }
  });
}

void ReferenceAdsLoader::answer(const AdsRequest& request, const VastResolver* resolver,
                                VastResolver::Outcome outcome) {
  std::erase_if(resolving_, [resolver](const auto& r) { return r.get() == resolver; });
  const std::shared_ptr<AdsLoaderDelegate> delegate = delegate_.lock();
  if (!delegate) return;
  if (!outcome.ok()) {
    delegate->adsLoaderDidFail(*this, AdError{outcome.error(), outcome.detail()});
    return;
  }
  auto manager = std::make_shared<ReferenceAdsManager>(
      std::move(outcome).value(), request.adDisplayContainer, request.contentPlayhead, http_);
  delegate->adsLoaderDidLoad(*this, AdsLoadedData{std::move(manager)});
}

}  // namespace telvora
