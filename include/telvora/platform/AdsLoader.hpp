#pragma once

#include <telvora/platform/AdDisplayContainer.hpp>
#include <telvora/platform/AdError.hpp>
#include <telvora/platform/ContentPlayhead.hpp>

#include <memory>
#include <string>

namespace telvora {

class AdsLoader;
class AdsManager;

// One ad to load: the complete text of a VAST ads response (never a URL to
// fetch it from), where to draw it, and where the content stands.
struct AdsRequest {
  std::string adsResponse;
  std::shared_ptr<AdDisplayContainer> adDisplayContainer;
  std::shared_ptr<ContentPlayhead> contentPlayhead;
};

// What a successful request hands over: the manager of the loaded ad, not
// yet initialised.
struct AdsLoadedData {
  std::shared_ptr<AdsManager> adsManager;
};

// Told by an ads loader how a request went. Called on the main queue, never
// from inside requestAds().
class AdsLoaderDelegate {
 public:
  virtual ~AdsLoaderDelegate() = default;

  virtual void adsLoaderDidLoad(AdsLoader& loader, const AdsLoadedData& data) = 0;
  virtual void adsLoaderDidFail(AdsLoader& loader, const AdError& error) = 0;
};

// Turns ads requests into ads managers. The ad player makes one per lifetime
// (AdSdk::makeAdsLoader) and sets its delegate before each request.
//
// Every request is answered exactly once, with adsLoaderDidLoad or
// adsLoaderDidFail, to the delegate set when the answer is ready; requests
// are independent of each other. An answer finds no one when the delegate
// is gone, or when the loader itself has been dropped (which abandons what
// it still had under way).
//
// Main queue only.
class AdsLoader {
 public:
  virtual ~AdsLoader() = default;

  // Held weakly: the loader never keeps its delegate alive.
  virtual void setDelegate(std::weak_ptr<AdsLoaderDelegate> delegate) = 0;
  virtual void requestAds(AdsRequest request) = 0;
};

}  // namespace telvora
