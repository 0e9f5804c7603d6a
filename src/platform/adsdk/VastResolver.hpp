#pragma once

#include <telvora/Result.hpp>
#include <telvora/platform/AdError.hpp>
#include <telvora/platform/AdSdk.hpp>

#include "platform/adsdk/Tracker.hpp"
#include "platform/adsdk/VastDocument.hpp"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class HttpClient;
class HttpDataTask;

// Follows an ads response through its wrappers to the inline ad at the end
// of the chain, for the reference ads loader. Each wrapper's ad tag is
// fetched with the HTTP client (at most settings.maxRedirects in a row, each
// within settings.vastLoadTimeout seconds and kMaxVastDocumentSize bytes) and
// its impression, error and tracking URLs are added to the inline ad's.
// A chain that fails fires the error URLs of the wrappers already followed,
// with the VAST error code of the failure in [ERRORCODE].
//
// Main queue only. The fetched documents are read on the HTTP client's
// thread and handed back to the main queue; the main queue never waits.
// Owned by the loader by std::shared_ptr; destroying it cancels the fetch
// under way and drops its answer.
class VastResolver : public std::enable_shared_from_this<VastResolver> {
 public:
  using Outcome = Result<VastDocument, AdErrorCode>;
  using Completion = std::function<void(Outcome)>;

  VastResolver(AdsSettings settings, std::shared_ptr<HttpClient> http,
               std::shared_ptr<ContentPlayhead> playhead);
  ~VastResolver();
  VastResolver(const VastResolver&) = delete;
  VastResolver& operator=(const VastResolver&) = delete;

  // Reads `document` at once and, if it is a wrapper, follows it. The
  // completion runs exactly once on the main queue: inside this call when
  // the document needs no fetch, later otherwise.
  void resolve(std::string_view document, Completion completion);

  // What one wrapper fetch gave; defined with the implementation.
  struct Fetched;

 private:
  void accept(Result<VastDocument, VastDocumentError> read);
  void follow(const std::string& adTagUri);
  void received(const Fetched& fetched);
  void fail(AdErrorCode code, std::string detail);
  void finish(Outcome outcome);

  AdsSettings settings_;
  std::shared_ptr<HttpClient> http_;
  Tracker tracker_;
  Completion completion_;
  VastDocument wrappers_;              // the tracking of every wrapper followed so far
  std::vector<std::string> followed_;  // ad tag URIs, as written
  std::shared_ptr<HttpDataTask> task_;
};

// The VAST error code ([ERRORCODE]) a failure of the chain is reported with.
int vastErrorCode(AdErrorCode code);
// The loader's error case for a document the reader refused.
AdErrorCode adErrorCode(VastDocumentError error);

}  // namespace telvora
