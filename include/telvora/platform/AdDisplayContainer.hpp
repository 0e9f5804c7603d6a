#pragma once

#include <telvora/platform/View.hpp>

#include <memory>
#include <utility>

namespace telvora {

// Where an ad is drawn: the ads manager puts the ad's own view into
// `adContainer` as a child, on top of its other children, while the ad shows.
// The ad player makes one per ad over the content's video view. There are no
// companion slots.
//
// Main queue only, like the view it holds.
class AdDisplayContainer {
 public:
  explicit AdDisplayContainer(std::shared_ptr<View> adContainer)
      : adContainer_(std::move(adContainer)) {}

  const std::shared_ptr<View>& adContainer() const { return adContainer_; }

 private:
  std::shared_ptr<View> adContainer_;
};

}  // namespace telvora
