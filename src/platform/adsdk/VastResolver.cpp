#include "platform/adsdk/VastResolver.hpp"

#include <telvora/platform/RunLoop.hpp>

#include "platform/http/HttpClient.hpp"
#include "platform/url/Url.hpp"

#include <algorithm>
#include <optional>

namespace telvora {

// What a wrapper fetch gave, read on the HTTP client's thread: either the
// document reader's answer, or why there was no document to read.
struct VastResolver::Fetched {
  std::string url;
  std::optional<Result<VastDocument, VastDocumentError>> read;
  AdErrorCode failure = AdErrorCode::wrapperLoadFailed;
  std::string failureDetail;
};

namespace {

VastResolver::Fetched readFetched(std::string url, const Bytes& body,
                                  const std::optional<HttpResponse>& response,
                                  const std::optional<HttpError>& error) {
  VastResolver::Fetched fetched{std::move(url), std::nullopt, AdErrorCode::wrapperLoadFailed, {}};
  const std::string from = " from " + fetched.url;
  if (error && error->code == HttpErrorCode::bodyTooLarge) {
    fetched.failure = AdErrorCode::documentMalformed;
    fetched.failureDetail =
        "a document of more than " + std::to_string(kMaxVastDocumentSize) + " bytes" + from;
  } else if (!response) {
    fetched.failureDetail = (error ? error->message : std::string("no response")) + from;
  } else if (response->statusCode < 200 || response->statusCode >= 300) {
    fetched.failureDetail = "HTTP status " + std::to_string(response->statusCode) + from;
  } else if (!body) {
    fetched.failureDetail = (error ? error->message : std::string("no body")) + from;
  } else {
    fetched.read.emplace(readVastDocument(*body));
  }
  return fetched;
}

bool isHttpUrl(const std::string& text) {
  const std::optional<Url> url = Url::parse(text);
  return url && (url->scheme == "http" || url->scheme == "https") && !url->host.empty();
}

}  // namespace

int vastErrorCode(AdErrorCode code) {
  switch (code) {
    case AdErrorCode::documentMalformed:
      return 100;
    case AdErrorCode::adMalformed:
      return 101;
    case AdErrorCode::noPlayableAd:
      return 303;
    case AdErrorCode::wrapperLoadFailed:
      return 301;
    case AdErrorCode::wrapperLimitReached:
    case AdErrorCode::wrapperLoop:
      return 302;
    case AdErrorCode::playbackFailed:
      return 400;
    case AdErrorCode::invalidRequest:
      break;
  }
  return 900;
}

AdErrorCode adErrorCode(VastDocumentError error) {
  switch (error) {
    case VastDocumentError::tooLarge:
    case VastDocumentError::notXml:
    case VastDocumentError::notVast:
      return AdErrorCode::documentMalformed;
    case VastDocumentError::noAd:
    case VastDocumentError::noLinearCreative:
      return AdErrorCode::noPlayableAd;
    case VastDocumentError::invalidDuration:
    case VastDocumentError::noAdTagUri:
      return AdErrorCode::adMalformed;
  }
  return AdErrorCode::documentMalformed;
}

VastResolver::VastResolver(AdsSettings settings, std::shared_ptr<HttpClient> http,
                           std::shared_ptr<ContentPlayhead> playhead)
    : settings_(settings), http_(std::move(http)), tracker_(http_, std::move(playhead)) {}

VastResolver::~VastResolver() {
  if (task_) task_->cancel();
}

void VastResolver::resolve(std::string_view document, Completion completion) {
  completion_ = std::move(completion);
  accept(readVastDocument(document));
}

void VastResolver::accept(Result<VastDocument, VastDocumentError> read) {
  if (!read.ok()) {
    const std::string where = followed_.empty() ? "" : " (from " + followed_.back() + ")";
    fail(adErrorCode(read.error()), read.detail() + where);
    return;
  }
  VastDocument ad = std::move(read).value();
  if (ad.kind == VastDocument::Kind::inLine) {
    addWrapperTracking(ad, wrappers_);
    finish(Outcome::success(std::move(ad)));
    return;
  }
  addWrapperTracking(wrappers_, ad);
  if (std::find(followed_.begin(), followed_.end(), ad.adTagUri) != followed_.end()) {
    fail(AdErrorCode::wrapperLoop, "the wrapper chain comes back to " + ad.adTagUri);
    return;
  }
  const int limit = std::max(settings_.maxRedirects, 0);
  if (static_cast<int>(followed_.size()) >= limit) {
    fail(AdErrorCode::wrapperLimitReached, "more than " + std::to_string(limit) +
                                               " wrappers in a row, the last pointing to " +
                                               ad.adTagUri);
    return;
  }
  followed_.push_back(ad.adTagUri);
  follow(ad.adTagUri);
}

void VastResolver::follow(const std::string& adTagUri) {
  const std::string url =
      expandTrackingMacros(adTagUri, {std::nullopt, std::nullopt, randomCacheBuster()});
  if (!isHttpUrl(url) || !http_) {
    fail(AdErrorCode::wrapperLoadFailed, "the ad tag URI is no http(s) URL: " + adTagUri);
    return;
  }
  HttpRequest request;
  request.url = url;
  request.timeoutInterval = settings_.vastLoadTimeout;
  request.maxBodySize = kMaxVastDocumentSize;
  std::weak_ptr<VastResolver> weak = weak_from_this();
  task_ = http_->dataTask(std::move(request),
                          [weak, url](Bytes body, std::optional<HttpResponse> response,
                                      std::optional<HttpError> error) {
                            // On the HTTP client's thread: only reading here, the resolver is
                            // touched on the main queue.
                            Fetched fetched = readFetched(url, body, response, error);
                            RunLoop::main().async([weak, fetched = std::move(fetched)] {
                              if (const std::shared_ptr<VastResolver> self = weak.lock())
                                self->received(fetched);
                            });
                          });
}

void VastResolver::received(const Fetched& fetched) {
  task_.reset();
  if (!fetched.read) {
    fail(fetched.failure, fetched.failureDetail);
    return;
  }
  accept(*fetched.read);
}

void VastResolver::fail(AdErrorCode code, std::string detail) {
  tracker_.fire(wrappers_.errors, vastErrorCode(code));
  finish(Outcome::failure(code, std::move(detail)));
}

void VastResolver::finish(Outcome outcome) {
  if (!completion_) return;
  // The completion may drop the owner's reference to this resolver.
  const std::shared_ptr<VastResolver> keepAlive = shared_from_this();
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  completion(std::move(outcome));
}

}  // namespace telvora
