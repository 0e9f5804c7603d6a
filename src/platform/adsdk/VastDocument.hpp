#pragma once

#include <telvora/Result.hpp>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvora {

// The tracking events of a linear ad that the reference SDK reports.
// "closeLinear" in a document counts as close.
enum class VastTrackingEvent {
  start,
  firstQuartile,
  midpoint,
  thirdQuartile,
  complete,
  pause,
  resume,
  close,
};
inline constexpr std::size_t kVastTrackingEventCount = 8;

struct VastMediaFile {
  std::string url;
  std::string type;  // MIME type as written, may be empty
};

// The one ad of a VAST document that the reference SDK plays: either an
// inline linear ad (its duration and media files) or a wrapper (the ad tag
// URI it points to). Both carry their impression, error and tracking URLs,
// trimmed, in document order, at most kMaxVastUrlsPerList of each kind.
struct VastDocument {
  enum class Kind { inLine, wrapper };

  Kind kind = Kind::inLine;
  std::string adId;
  double duration = 0;                    // seconds; inline only
  std::vector<VastMediaFile> mediaFiles;  // inline only; may be empty
  std::string adTagUri;                   // wrapper only
  std::vector<std::string> impressions;
  std::vector<std::string> errors;
  std::array<std::vector<std::string>, kVastTrackingEventCount> tracking;

  const std::vector<std::string>& trackingFor(VastTrackingEvent event) const {
    return tracking[static_cast<std::size_t>(event)];
  }
};

enum class VastDocumentError {
  tooLarge,          // over kMaxVastDocumentSize
  notXml,            // the XML reader refused it
  notVast,           // well-formed XML whose root is no VAST element
  noAd,              // no Ad element with an InLine or Wrapper
  noLinearCreative,  // an inline ad without a Linear creative
  invalidDuration,   // a Linear without a Duration of the form HH:MM:SS or HH:MM:SS.mmm
  noAdTagUri,        // a wrapper without a VASTAdTagURI
};

std::string_view toString(VastDocumentError error);

inline constexpr std::size_t kMaxVastDocumentSize = 16 << 20;
// Caps the requests one document can make the player send.
inline constexpr std::size_t kMaxVastUrlsPerList = 32;
inline constexpr std::size_t kMaxVastMediaFiles = 32;

// Reads the ad the reference SDK would play from a VAST document: the first
// Ad, in document order, that is a wrapper or an inline ad with a linear
// creative. When none is, the failure is that of the first Ad (noAd when
// there is none), with a detail naming the element at fault.
//
// Pure: no network, no run loop, no global state; safe on any thread and on
// any bytes (it never throws, and it does not recurse into the document).
Result<VastDocument, VastDocumentError> readVastDocument(std::string_view xml);

// Adds a wrapper's impression, error and tracking URLs to those of the ad it
// leads to, so that following the chain reports to every party on it.
void addWrapperTracking(VastDocument& ad, const VastDocument& wrapper);

// Seconds of a VAST Duration text: "HH:MM:SS" or "HH:MM:SS.mmm" (one or two
// hour digits, one to three fraction digits), white space around allowed.
std::optional<double> readVastDuration(std::string_view text);

}  // namespace telvora
