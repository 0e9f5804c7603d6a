#pragma once

#include <telvora/platform/View.hpp>

#include <string>
#include <utility>

namespace telvora {

// How the reference SDK draws a playing ad: a view covering its display
// container, labelled with the URL of the media file it plays (empty for an
// ad without media files), so overlay tests and snapshots can tell which ad
// is on screen. Added and removed by ReferenceAdsManager; main queue only.
class AdView final : public View {
 public:
  AdView(Rect frame, std::string mediaFileURL)
      : View(frame), mediaFileURL_(std::move(mediaFileURL)) {}

  const std::string& mediaFileURL() const { return mediaFileURL_; }

 private:
  std::string mediaFileURL_;
};

}  // namespace telvora
