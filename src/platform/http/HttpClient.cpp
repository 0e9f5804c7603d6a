#include "platform/http/HttpClient.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/runloop/WorkQueue.hpp"

namespace telvora {

namespace {

constexpr long kMaxRedirects = 10;
// Upper bound of what Content-Length may make us reserve before data arrives.
constexpr std::size_t kMaxReserve = 16 * 1024 * 1024;
// The poll wakes for new work through curl_multi_wakeup; this only bounds it.
constexpr int kIdlePollMs = 1000;

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trim(std::string_view text) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

// RFC 9110 token characters, the only ones a field name may hold.
bool isToken(std::string_view name) {
  static constexpr std::string_view kSymbols = "!#$%&'*+-.^_`|~";
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           kSymbols.find(c) != std::string_view::npos;
  });
}

bool isFieldValue(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Why `url` cannot be requested, or an empty string when it can.
std::string urlProblem(const std::string& url) {
  if (url.find('\0') != std::string::npos) return "the URL contains a NUL byte";
  CURLU* parsed = curl_url();
  if (!parsed) return "out of memory";
  std::string problem;
  CURLUcode rc = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0);
  if (rc != CURLUE_OK) {
    problem = curl_url_strerror(rc);
  } else {
    char* scheme = nullptr;
    char* host = nullptr;
    curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0);
    if (!scheme || (std::string_view(scheme) != "http" && std::string_view(scheme) != "https")) {
      problem = "only http and https URLs are supported";
    } else if (curl_url_get(parsed, CURLUPART_HOST, &host, 0) != CURLUE_OK || !host || !*host) {
      problem = "the URL has no host";
    }
    curl_free(scheme);
    curl_free(host);
  }
  curl_url_cleanup(parsed);
  return problem;
}

long timeoutMilliseconds(double seconds) {
  if (!(seconds > 0)) return 1;  // also NaN
  double ms = std::ceil(seconds * 1000.0);
  if (ms >= static_cast<double>(std::numeric_limits<long>::max())) return 0;  // no limit
  return static_cast<long>(ms);
}

HttpErrorCode errorCodeFor(CURLcode result) {
  switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return HttpErrorCode::cannotFindHost;
    case CURLE_COULDNT_CONNECT:
      return HttpErrorCode::cannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpErrorCode::timedOut;
    case CURLE_TOO_MANY_REDIRECTS:
      return HttpErrorCode::tooManyRedirects;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return HttpErrorCode::badURL;
    default:
      return HttpErrorCode::transportFailure;
  }
}

void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// One request from start to finish. Built on the calling thread, then owned
// by the multi thread, which alone runs its curl callbacks.
struct Transfer {
  std::uint64_t id = 0;
  std::optional<std::size_t> maxBodySize;
  DataTaskCompletion completion;
  CURL* easy = nullptr;
  curl_slist* requestHeaders = nullptr;
  char errorText[CURL_ERROR_SIZE] = {};

  // The response being received; a new status line (redirect, 1xx) resets it.
  HttpResponse response;
  std::string body;
  bool headersComplete = false;
  bool bodyStarted = false;
  bool bodyTooLarge = false;
  bool outOfMemory = false;

  Transfer() = default;
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;
  ~Transfer() {
    if (easy) curl_easy_cleanup(easy);
    curl_slist_free_all(requestHeaders);
  }

  void onHeaderLine(std::string_view line) {
    if (line.rfind("HTTP/", 0) == 0) {
      response = HttpResponse{};
      body.clear();
      headersComplete = bodyStarted = false;
      return;
    }
    if (headersComplete) return;  // trailers
    if (trim(line).empty()) {
      headersComplete = true;
      long status = 0;
      char* url = nullptr;
      curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
      curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
      response.statusCode = static_cast<int>(status);
      response.url = url ? url : "";
      return;
    }
    if ((line.front() == ' ' || line.front() == '\t') && !response.headers.empty()) {
      auto& value = response.headers.back().second;  // obsolete line folding
      value += ' ';
      value += trim(line);
      return;
    }
    auto colon = line.find(':');
    if (colon == std::string_view::npos) return;
    response.headers.emplace_back(std::string(trim(line.substr(0, colon))),
                                  std::string(trim(line.substr(colon + 1))));
  }

  // False to stop the transfer.
  bool onBodyData(std::string_view data) {
    if (!bodyStarted) {
      bodyStarted = true;
      curl_off_t length = -1;
      curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
      if (length >= 0) {
        auto expected = static_cast<std::size_t>(length);
        bool encoded = response.header("Content-Encoding").has_value();
        if (maxBodySize && expected > *maxBodySize && !encoded) {
          bodyTooLarge = true;
          return false;
        }
        if (!maxBodySize || expected <= *maxBodySize) body.reserve(std::min(expected, kMaxReserve));
      }
    }
    if (maxBodySize && data.size() > *maxBodySize - body.size()) {
      bodyTooLarge = true;
      return false;
    }
    body.append(data);
    return true;
  }

  static size_t headerCallback(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Transfer*>(user);
    try {
      self->onHeaderLine(std::string_view(data, size * count));
      return size * count;
    } catch (...) {  // nothing may unwind through curl
      self->outOfMemory = true;
      return 0;
    }
  }

  static size_t writeCallback(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Transfer*>(user);
    try {
      return self->onBodyData(std::string_view(data, size * count)) ? size * count : 0;
    } catch (...) {
      self->outOfMemory = true;
      return 0;
    }
  }
};

struct Outcome {
  Bytes body;
  std::optional<HttpResponse> response;
  std::optional<HttpError> error;
};

Outcome failure(HttpErrorCode code, std::string message,
                std::optional<HttpResponse> response = std::nullopt) {
  return {nullptr, std::move(response), HttpError{code, std::move(message)}};
}

Outcome outcomeOf(Transfer& transfer, CURLcode result) {
  if (result == CURLE_OK) {
    long status = 0;
    char* url = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &url);
    transfer.response.statusCode = static_cast<int>(status);
    transfer.response.url = url ? url : "";
    return {std::make_shared<const std::string>(std::move(transfer.body)),
            std::move(transfer.response), std::nullopt};
  }
  if (transfer.bodyTooLarge) {
    return failure(HttpErrorCode::bodyTooLarge,
                   "the body is larger than " + std::to_string(*transfer.maxBodySize) + " bytes",
                   std::move(transfer.response));
  }
  if (transfer.outOfMemory) return failure(HttpErrorCode::transportFailure, "out of memory");
  bool redirected = transfer.headersComplete && transfer.response.statusCode >= 300 &&
                    transfer.response.statusCode < 400;
  // curl gave up on following a redirect elsewhere (file:, a broken Location):
  // the redirect is the answer. curl has not kept its body.
  if (redirected && (result == CURLE_UNSUPPORTED_PROTOCOL || result == CURLE_URL_MALFORMAT)) {
    return {std::make_shared<const std::string>(), std::move(transfer.response), std::nullopt};
  }
  std::string message = transfer.errorText[0] ? transfer.errorText : curl_easy_strerror(result);
  if (result == CURLE_TOO_MANY_REDIRECTS && redirected) {
    return failure(HttpErrorCode::tooManyRedirects, std::move(message),
                   std::move(transfer.response));
  }
  return failure(errorCodeFor(result), std::move(message));
}

}  // namespace

namespace detail {

// Everything the client shares with its two threads: the multi thread, which
// alone touches the multi handle and the running transfers, and the callback
// queue, which runs completions.
struct HttpClientState : std::enable_shared_from_this<HttpClientState> {
  HttpClientState() {
    initCurlOnce();
    multi = curl_multi_init();
    if (multi) thread = std::thread([this] { run(); });
  }

  ~HttpClientState() {
    stop();
    if (multi) curl_multi_cleanup(multi);
  }

  // Ends the multi thread (dropping its transfers) and the callback queue.
  // Idempotent; must not run on the callback thread.
  void stop() {
    assert(!(callbacks && callbacks->isCurrent()) &&
           "an HttpClient must not be destroyed inside its own completion");
    closing = true;
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    if (multi) curl_multi_wakeup(multi);
    if (thread.joinable()) thread.join();
    callbacks.reset();
  }

  void start(std::unique_ptr<Transfer> transfer) {
    if (!multi) {
      deliver(std::move(transfer->completion),
              failure(HttpErrorCode::transportFailure, "libcurl could not start"));
      return;
    }
    {
      std::lock_guard lock(mutex);
      if (stopping) return;  // the client is going away: nothing will run
      starting.push_back(std::move(transfer));
    }
    curl_multi_wakeup(multi);
  }

  void cancel(std::uint64_t id) {
    if (!multi) return;
    {
      std::lock_guard lock(mutex);
      if (stopping) return;
      cancelling.push_back(id);
    }
    curl_multi_wakeup(multi);
  }

  void deliver(DataTaskCompletion completion, Outcome outcome) {
    if (!completion) return;
    callbacks->async([weak = weak_from_this(), completion = std::move(completion),
                      outcome = std::move(outcome)]() mutable {
      auto self = weak.lock();
      if (!self || self->closing) return;
      completion(std::move(outcome.body), std::move(outcome.response), std::move(outcome.error));
    });
  }

  std::uint64_t nextId() { return ++lastId; }

 private:
  // The multi thread: adds new transfers, removes cancelled ones, drives curl
  // and hands finished transfers to the callback queue.
  void run() {
    std::unordered_map<std::uint64_t, std::unique_ptr<Transfer>> running;
    for (;;) {
      std::vector<std::unique_ptr<Transfer>> added;
      std::vector<std::uint64_t> cancelled;
      {
        std::lock_guard lock(mutex);
        if (stopping) break;
        added.swap(starting);
        cancelled.swap(cancelling);
      }
      for (auto& transfer : added) {
        CURLMcode rc = curl_multi_add_handle(multi, transfer->easy);
        if (rc != CURLM_OK) {
          deliver(std::move(transfer->completion),
                  failure(HttpErrorCode::transportFailure, curl_multi_strerror(rc)));
          continue;
        }
        auto id = transfer->id;
        running.emplace(id, std::move(transfer));
      }
      for (auto id : cancelled) {
        auto found = running.find(id);
        if (found == running.end()) continue;  // already finished
        curl_multi_remove_handle(multi, found->second->easy);
        deliver(std::move(found->second->completion),
                failure(HttpErrorCode::cancelled, "the request was cancelled"));
        running.erase(found);
      }

      int active = 0;
      curl_multi_perform(multi, &active);
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        CURL* easy = message->easy_handle;
        CURLcode result = message->data.result;  // `message` dies with the removal below
        Transfer* done = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &done);
        curl_multi_remove_handle(multi, easy);
        if (!done) continue;
        auto found = running.find(done->id);
        if (found == running.end()) continue;
        deliver(std::move(done->completion), outcomeOf(*done, result));
        running.erase(found);
      }
      curl_multi_poll(multi, nullptr, 0, kIdlePollMs, nullptr);
    }
    for (auto& entry : running)
      curl_multi_remove_handle(multi, entry.second->easy);
  }

  CURLM* multi = nullptr;
  std::atomic<bool> closing = false;  // completions not yet run are dropped
  std::unique_ptr<WorkQueue> callbacks = std::make_unique<WorkQueue>("telvora.http");
  std::mutex mutex;
  bool stopping = false;                            // guarded by mutex
  std::vector<std::unique_ptr<Transfer>> starting;  // guarded by mutex
  std::vector<std::uint64_t> cancelling;            // guarded by mutex
  std::atomic<std::uint64_t> lastId = 0;
  std::thread thread;
};

}  // namespace detail

namespace {

class CurlDataTask final : public HttpDataTask {
 public:
  CurlDataTask(std::weak_ptr<detail::HttpClientState> state, std::uint64_t id)
      : state_(std::move(state)), id_(id) {}

  void cancel() override {
    if (auto state = state_.lock()) state->cancel(id_);
  }

 private:
  std::weak_ptr<detail::HttpClientState> state_;
  std::uint64_t id_;
};

// Sets `transfer` up for `request`, or says why the request cannot be sent.
std::optional<HttpError> prepare(Transfer& transfer, const HttpRequest& request) {
  const HttpError outOfMemory{HttpErrorCode::transportFailure, "out of memory"};
  if (auto problem = urlProblem(request.url); !problem.empty()) {
    return HttpError{HttpErrorCode::badURL, problem + ": " + request.url};
  }
  bool hasCacheControl = false;
  auto appendHeader = [&transfer](const std::string& line) {
    curl_slist* grown = curl_slist_append(transfer.requestHeaders, line.c_str());
    if (grown) transfer.requestHeaders = grown;
    return grown != nullptr;
  };
  for (const auto& [name, value] : request.headers) {
    if (!isToken(name) || !isFieldValue(value)) {
      return HttpError{HttpErrorCode::badURL, "invalid header field \"" + name + "\""};
    }
    hasCacheControl = hasCacheControl || equalsIgnoringCase(name, "Cache-Control");
    // "Name;" is how curl sends a field with an empty value.
    if (!appendHeader(value.empty() ? name + ";" : name + ": " + value)) return outOfMemory;
  }
  if (request.cachePolicy == CachePolicy::reloadIgnoringLocalCacheData && !hasCacheControl) {
    if (!appendHeader("Cache-Control: no-cache")) return outOfMemory;
  }

  CURL* easy = transfer.easy = curl_easy_init();
  if (!easy) return outOfMemory;
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMilliseconds(request.timeoutInterval));
  curl_easy_setopt(easy, CURLOPT_USERAGENT, "Telvora");
  if (request.method == HttpMethod::HEAD) curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  if (transfer.requestHeaders) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.requestHeaders);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::headerCallback);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::writeCallback);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorText);
  curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
  transfer.maxBodySize = request.maxBodySize;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> HttpResponse::header(std::string_view name) const {
  for (const auto& [field, value] : headers) {
    if (equalsIgnoringCase(field, name)) return value;
  }
  return std::nullopt;
}

std::string_view toString(HttpErrorCode code) {
  switch (code) {
    case HttpErrorCode::badURL:
      return "badURL";
    case HttpErrorCode::cannotFindHost:
      return "cannotFindHost";
    case HttpErrorCode::cannotConnect:
      return "cannotConnect";
    case HttpErrorCode::timedOut:
      return "timedOut";
    case HttpErrorCode::cancelled:
      return "cancelled";
    case HttpErrorCode::tooManyRedirects:
      return "tooManyRedirects";
    case HttpErrorCode::bodyTooLarge:
      return "bodyTooLarge";
    case HttpErrorCode::transportFailure:
      return "transportFailure";
  }
  return "unknown";
}

HttpClient::HttpClient() : state_(std::make_shared<detail::HttpClientState>()) {}

HttpClient::~HttpClient() {
  state_->stop();
}

std::shared_ptr<HttpClient> HttpClient::shared() {
  static const std::shared_ptr<HttpClient> client = std::make_shared<HttpClient>();
  return client;
}

std::shared_ptr<HttpDataTask> HttpClient::dataTask(HttpRequest request,
                                                   DataTaskCompletion completion) {
  auto transfer = std::make_unique<Transfer>();
  transfer->id = state_->nextId();
  auto task = std::make_shared<CurlDataTask>(state_, transfer->id);
  if (auto error = prepare(*transfer, request)) {
    state_->deliver(std::move(completion), Outcome{nullptr, std::nullopt, std::move(error)});
    return task;
  }
  transfer->completion = std::move(completion);
  state_->start(std::move(transfer));
  return task;
}

}  // namespace telvora
