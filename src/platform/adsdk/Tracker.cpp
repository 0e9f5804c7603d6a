#include "platform/adsdk/Tracker.hpp"

#include "platform/http/HttpClient.hpp"

#include <cmath>
#include <cstdio>
#include <random>

namespace telvora {
namespace {

constexpr double kTrackingTimeout = 10.0;

std::string playheadText(double seconds) {
  const auto millis = static_cast<long long>(std::llround(std::max(0.0, seconds) * 1000.0));
  char text[40];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", millis / 3600000,
                millis / 60000 % 60, millis / 1000 % 60, millis % 1000);
  return text;
}

}  // namespace

std::string expandTrackingMacros(std::string_view url, const TrackingMacros& macros) {
  const std::string errorCode = macros.errorCode ? std::to_string(*macros.errorCode) : "";
  const std::string playhead = macros.contentPlayhead ? playheadText(*macros.contentPlayhead) : "";
  const std::pair<std::string_view, std::string_view> replacements[] = {
      {"[ERRORCODE]", errorCode},
      {"[CACHEBUSTING]", macros.cacheBuster},
      {"[CONTENTPLAYHEAD]", playhead},
  };
  std::string expanded;
  expanded.reserve(url.size());
  std::size_t at = 0;
  while (at < url.size()) {
    bool replaced = false;
    if (url[at] == '[') {
      for (const auto& [macro, value] : replacements) {
        if (url.substr(at).starts_with(macro)) {
          expanded += value;
          at += macro.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) expanded += url[at++];
  }
  return expanded;
}

std::string randomCacheBuster() {
  thread_local std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> eightDigits(10000000, 99999999);
  return std::to_string(eightDigits(random));
}

Tracker::Tracker(std::shared_ptr<HttpClient> http, std::shared_ptr<ContentPlayhead> playhead)
    : http_(std::move(http)), playhead_(std::move(playhead)) {}

void Tracker::fire(const std::vector<std::string>& urls, std::optional<int> errorCode) const {
  if (!http_) return;
  const std::optional<double> contentTime = playhead_ ? playhead_->currentTime() : std::nullopt;
  for (const std::string& url : urls) {
    HttpRequest request;
    request.url = expandTrackingMacros(url, {errorCode, contentTime, randomCacheBuster()});
    request.timeoutInterval = kTrackingTimeout;
    request.maxBodySize = 64 << 10;  // the answer is not read
    http_->dataTask(std::move(request), nullptr);
  }
}

}  // namespace telvora
