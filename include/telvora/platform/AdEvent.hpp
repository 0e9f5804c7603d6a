#pragma once

#include <string_view>

namespace telvora {

// What an ads manager reports about its ad, in the order an ad that plays to
// its end reports them: loaded, started, firstQuartile, midpoint,
// thirdQuartile, complete, allAdsCompleted. paused and resumed come between
// started and complete, once per pause() and resume() that changed
// something. Skipping has no event: the ad player skips by destroying the
// manager, after which nothing is reported.
enum class AdEventKind {
  loaded,
  started,
  firstQuartile,
  midpoint,
  thirdQuartile,
  complete,
  paused,
  resumed,
  allAdsCompleted,
};

std::string_view toString(AdEventKind kind);

struct AdEvent {
  AdEventKind kind;
};

}  // namespace telvora
