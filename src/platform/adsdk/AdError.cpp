#include <telvora/platform/AdError.hpp>

namespace telvora {

std::string_view toString(AdErrorCode code) {
  switch (code) {
    case AdErrorCode::invalidRequest:
      return "invalidRequest";
    case AdErrorCode::documentMalformed:
      return "documentMalformed";
    case AdErrorCode::adMalformed:
      return "adMalformed";
    case AdErrorCode::noPlayableAd:
      return "noPlayableAd";
    case AdErrorCode::wrapperLoadFailed:
      return "wrapperLoadFailed";
    case AdErrorCode::wrapperLimitReached:
      return "wrapperLimitReached";
    case AdErrorCode::wrapperLoop:
      return "wrapperLoop";
    case AdErrorCode::playbackFailed:
      return "playbackFailed";
  }
  return "unknown";
}

}  // namespace telvora
