#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Bytes.hpp"

namespace telvora {

enum class HttpMethod { GET, HEAD };

// The client keeps no cache of its own; the policy is carried for callers
// that want to say what they expect, and sent as request headers where that
// means something ("no-cache" for reloadIgnoringLocalCacheData).
enum class CachePolicy { useProtocolCachePolicy, reloadIgnoringLocalCacheData };

struct HttpRequest {
  std::string url;
  HttpMethod method = HttpMethod::GET;
  // Seconds the whole exchange may take, connection included (millisecond
  // precision). Zero, negative or NaN times out at once; infinity never does.
  double timeoutInterval = 60.0;
  CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy;
  std::vector<std::pair<std::string, std::string>> headers;
  // Bodies longer than this are not read: the task ends with bodyTooLarge and
  // the response it had received. nullopt: no limit.
  std::optional<std::size_t> maxBodySize;
};

struct HttpResponse {
  int statusCode = 0;
  // The URL that answered, after redirects.
  std::string url;
  // Header fields of the final response, in the order received.
  std::vector<std::pair<std::string, std::string>> headers;

  // The value of the first field called `name`, compared without case.
  std::optional<std::string> header(std::string_view name) const;
};

enum class HttpErrorCode {
  badURL,          // not a URL, or a scheme other than http and https
  cannotFindHost,  // DNS failure
  cannotConnect,   // connection refused or unreachable
  timedOut,
  cancelled,
  tooManyRedirects,
  bodyTooLarge,      // maxBodySize exceeded; the response is still reported
  transportFailure,  // anything else the transport reports (TLS, reset, ...)
};

struct HttpError {
  HttpErrorCode code;
  std::string message;
};

std::string_view toString(HttpErrorCode code);

// What a data task hands its completion: the body (absent on error, never
// null without one: an empty body is an empty string), the HTTP response
// (absent when none arrived: transport failure, DNS failure, refused
// connection, time-out, cancellation) and the error, if any. An HTTP status
// such as 404 or 500 is a response, not an error.
using DataTaskCompletion = std::function<void(Bytes body, std::optional<HttpResponse> response,
                                              std::optional<HttpError> error)>;

// A running request. cancel() ends it with HttpErrorCode::cancelled unless it
// has already finished; the completion runs exactly once either way.
class HttpDataTask {
 public:
  virtual ~HttpDataTask() = default;
  virtual void cancel() = 0;
};

namespace detail {
struct HttpClientState;
}

// An HTTP/HTTPS client on libcurl: one multi handle driven by its own thread,
// so connections and DNS answers are reused between requests. Redirects are
// followed (http and https only, at most 10); a redirect that cannot be
// followed (no Location, or another scheme) is itself the response. The
// client keeps no cache. Completions run on the client's callback thread, one
// at a time, never on the calling thread and never on the main queue: a slow
// completion delays other completions but not the transfers.
//
// Thread-safe: tasks may be started and cancelled from any thread. Destroy a
// client anywhere except inside one of its own completions.
class HttpClient {
 public:
  HttpClient();
  // Cancels what is still running and drops the completions not yet run; a
  // completion under way finishes first.
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  static std::shared_ptr<HttpClient> shared();

  // Starts the request at once. A request that cannot be sent (not an http or
  // https URL, a header field with a line break) completes with badURL. An
  // empty completion makes a fire-and-forget request.
  std::shared_ptr<HttpDataTask> dataTask(HttpRequest request, DataTaskCompletion completion);

  // Convenience for the common GET with default settings.
  std::shared_ptr<HttpDataTask> dataTask(std::string url, DataTaskCompletion completion) {
    HttpRequest request;
    request.url = std::move(url);
    return dataTask(std::move(request), std::move(completion));
  }

 private:
  // Shared so that a task's cancel() can outlive the client safely.
  std::shared_ptr<detail::HttpClientState> state_;
};

}  // namespace telvora
