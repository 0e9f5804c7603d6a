#pragma once

#include <telvora/platform/LayoutAnchor.hpp>

#include <memory>

namespace telvora {

// A view's layout-margins guide: the view's bounds inset by its
// layoutMargins. Overlays are placed against it so they keep clear of the
// edges of the video. Obtained from View::layoutMarginsGuide(); it refers to
// its view weakly and always reads the view's current size and margins.
class LayoutGuide {
 public:
  LayoutXAxisAnchor leftAnchor() const;
  LayoutXAxisAnchor rightAnchor() const;
  LayoutYAxisAnchor topAnchor() const;
  LayoutYAxisAnchor bottomAnchor() const;
  LayoutDimension widthAnchor() const;
  LayoutDimension heightAnchor() const;

  std::shared_ptr<View> owningView() const { return view_.lock(); }

 private:
  friend class View;
  explicit LayoutGuide(std::weak_ptr<View> view) : view_(std::move(view)) {}
  std::weak_ptr<View> view_;
};

}  // namespace telvora
