#pragma once

#include <telvora/Result.hpp>

#include "vast/TelvoraVast.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class HttpClient;

// Fetches a VAST response from an ad-tag URL and cuts it into single-ad
// records, one per `Ad` element, each with its duration in whole seconds.
// It does no XML parsing: regular expressions find the elements and their
// first `Duration`, so a response the XML reader would refuse still gives
// the ads it carries.
//
// The loader keeps no state per request and cannot cancel one. Every
// request ends in exactly one call of the completion, on the HTTP client's
// callback thread (a request whose URL is no http(s) URL ends at once, on the
// calling thread). The receiver posts the result to the main queue before it
// touches anything; the reserve flag it gets back is the one it passed.
class VASTLoader {
 public:
  enum class Error {
    decodeFailed,   // a 2xx status without a whole body (also: over 16 MiB)
    emptyResponse,  // never produced: an answer without ads is an empty success
    httpError,      // a status outside 200..299
    uknownError,    // no HTTP response at all, or the URL is no URL
  };

  struct Loaded {
    TelvoraVastList ads;  // document order
    bool reserve = false;
  };
  using LoadResult = Result<Loaded, Error>;
  using Completion = std::function<void(LoadResult)>;

  // Bodies longer than this are not read.
  static constexpr std::size_t kMaxResponseSize = 16 << 20;

  explicit VASTLoader(Completion completion, std::shared_ptr<HttpClient> session = nullptr);

  // Starts one GET of `url` and returns at once.
  void requestVAST(const std::string& url, bool reserveRequest = false) const;

  // Cuts `data` into records and reports them as a success (there is no
  // failure: text that is not UTF-8 or holds no ad gives an empty list).
  void parseResponse(std::string_view data, bool reserveRequest) const;

  // Every non-overlapping match of `pattern` in `text`, in order. A pattern
  // that does not compile prints "invalid regex: " and the reason to the
  // console and matches nothing.
  static std::vector<std::string_view> matches(std::string_view pattern, std::string_view text);

  // The records of a response body; what parseResponse reports.
  static TelvoraVastList readAds(std::string_view data);
  // Whole seconds of a VAST `Duration` text ("00:01:30", "00:00:14.500", a
  // bare "45", in CDATA or with white space around it).
  static std::int64_t durationSeconds(std::string_view text);

 private:
  std::shared_ptr<const Completion> completion_;
  std::shared_ptr<HttpClient> session_;
};

std::string_view toString(VASTLoader::Error error);

}  // namespace telvora
