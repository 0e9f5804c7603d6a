#include <telvora/platform/AdEvent.hpp>

namespace telvora {

std::string_view toString(AdEventKind kind) {
  switch (kind) {
    case AdEventKind::loaded:
      return "loaded";
    case AdEventKind::started:
      return "started";
    case AdEventKind::firstQuartile:
      return "firstQuartile";
    case AdEventKind::midpoint:
      return "midpoint";
    case AdEventKind::thirdQuartile:
      return "thirdQuartile";
    case AdEventKind::complete:
      return "complete";
    case AdEventKind::paused:
      return "paused";
    case AdEventKind::resumed:
      return "resumed";
    case AdEventKind::allAdsCompleted:
      return "allAdsCompleted";
  }
  return "unknown";
}

}  // namespace telvora
