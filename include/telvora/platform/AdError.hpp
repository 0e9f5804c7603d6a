#pragma once

#include <string>
#include <string_view>

namespace telvora {

// Why an ad could not be loaded or played. The cases are what the ad player
// branches on; `message` says, for people, which element or URL was at
// fault.
enum class AdErrorCode {
  invalidRequest,       // the request had no display container or no view to draw in
  documentMalformed,    // the ads response is not XML, not VAST, or too large
  adMalformed,          // an ad lacks a part it needs: a readable Duration, a wrapper's ad tag URI
  noPlayableAd,         // no ad with a linear creative, also at the end of a wrapper chain
  wrapperLoadFailed,    // a wrapper's ad tag could not be fetched (network, HTTP status, time-out)
  wrapperLimitReached,  // more wrappers in a row than the settings allow
  wrapperLoop,          // a wrapper leads back to an ad tag already followed
  playbackFailed,       // the ad's media could not be played (a host's SDK reports this)
};

std::string_view toString(AdErrorCode code);

struct AdError {
  AdErrorCode code;
  std::string message;
};

}  // namespace telvora
