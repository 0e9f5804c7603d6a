#pragma once

#include <telvora/platform/ContentPlayhead.hpp>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

class HttpClient;

// The values a tracking URL's macros are replaced with.
struct TrackingMacros {
  std::optional<int> errorCode;           // [ERRORCODE]; empty when absent
  std::optional<double> contentPlayhead;  // [CONTENTPLAYHEAD] as HH:MM:SS.mmm; empty when absent
  std::string cacheBuster;                // [CACHEBUSTING]
};

// `url` with every [ERRORCODE], [CACHEBUSTING] and [CONTENTPLAYHEAD]
// replaced; other text, other macros included, stays as written.
std::string expandTrackingMacros(std::string_view url, const TrackingMacros& macros);

// A random number of exactly 8 digits, as text.
std::string randomCacheBuster();

// Sends the reference SDK's tracking requests: one GET per URL, fire and
// forget (the answer and any error are ignored), macros filled in at the
// moment of sending, a fresh cache buster for each URL.
//
// Main queue only (it reads the content playhead).
class Tracker {
 public:
  Tracker(std::shared_ptr<HttpClient> http, std::shared_ptr<ContentPlayhead> playhead);

  void fire(const std::vector<std::string>& urls,
            std::optional<int> errorCode = std::nullopt) const;

 private:
  std::shared_ptr<HttpClient> http_;
  std::shared_ptr<ContentPlayhead> playhead_;
};

}  // namespace telvora
