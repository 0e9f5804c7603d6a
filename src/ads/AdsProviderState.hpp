#pragma once

#include <telvora/Result.hpp>

#include <cstdint>

namespace telvora {

// What the ads provider reports to the scheduler.
struct AdsProviderState {
  enum class Kind {
    stopAdsLoadingAfterSkip,  // after a skip, less than `seconds` are left: load no more
    adsLoaded,                // the pool is enough for the break
    adsShowed,                // the break is over
  };
  Kind kind;
  std::int64_t seconds = 0;  // stopAdsLoadingAfterSkip only

  static AdsProviderState stopAdsLoadingAfterSkip(std::int64_t seconds) {
    return {Kind::stopAdsLoadingAfterSkip, seconds};
  }
  static AdsProviderState adsLoaded() { return {Kind::adsLoaded}; }
  static AdsProviderState adsShowed() { return {Kind::adsShowed}; }
  friend bool operator==(const AdsProviderState&, const AdsProviderState&) = default;
};

// The pool is not enough for the break (`count` ads, `duration` seconds; both
// 0 when it ran dry during the break). firstAddLoaded belongs to what the
// scheduler handles; the provider never reports it.
struct ProviderError {
  enum class Kind { notEnoughAds, firstAddLoaded };
  Kind kind;
  std::int64_t count = 0;
  double duration = 0;

  static ProviderError notEnoughAds(std::int64_t count, double duration) {
    return {Kind::notEnoughAds, count, duration};
  }
  static ProviderError firstAddLoaded(std::int64_t count, double duration) {
    return {Kind::firstAddLoaded, count, duration};
  }
  friend bool operator==(const ProviderError&, const ProviderError&) = default;
};

using ProviderResult = Result<AdsProviderState, ProviderError>;

// A public error of the ads provider; no operation reports it yet.
enum class AdsProviderError { invalidPlayer };

}  // namespace telvora
