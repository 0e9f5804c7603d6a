#pragma once

#include <memory>
#include <utility>

namespace telvora {

class View;
class LayoutConstraint;

enum class LayoutAttribute { left, right, top, bottom, width, height };

// One edge or one size of a view's frame, or of its layout-margins guide,
// that a LayoutConstraint ties to a value. Anchors come from a view
// (View::topAnchor(), ...) or from its guide (View::layoutMarginsGuide()) and
// hold the view weakly: a constraint never keeps a view alive, and one whose
// view is gone has no effect.
//
// The axis is part of the type, so a horizontal edge can only be tied to a
// horizontal edge, a vertical edge to a vertical one.
class LayoutAnchor {
 public:
  std::shared_ptr<View> view() const { return view_.lock(); }
  // True for the anchors of the view's layout-margins guide.
  bool isMarginsGuide() const { return marginsGuide_; }
  LayoutAttribute attribute() const { return attribute_; }

 protected:
  LayoutAnchor(std::weak_ptr<View> view, bool marginsGuide, LayoutAttribute attribute)
      : view_(std::move(view)), marginsGuide_(marginsGuide), attribute_(attribute) {}

 private:
  std::weak_ptr<View> view_;
  bool marginsGuide_;
  LayoutAttribute attribute_;
};

// A left or right edge.
class LayoutXAxisAnchor : public LayoutAnchor {
 public:
  // this edge = other edge + constant.
  LayoutConstraint constraintEqualTo(const LayoutXAxisAnchor& other, double constant = 0) const;

 private:
  friend class View;
  friend class LayoutGuide;
  using LayoutAnchor::LayoutAnchor;
};

// A top or bottom edge; y grows downwards.
class LayoutYAxisAnchor : public LayoutAnchor {
 public:
  // this edge = other edge + constant.
  LayoutConstraint constraintEqualTo(const LayoutYAxisAnchor& other, double constant = 0) const;

 private:
  friend class View;
  friend class LayoutGuide;
  using LayoutAnchor::LayoutAnchor;
};

// A width or a height.
class LayoutDimension : public LayoutAnchor {
 public:
  // this size = constant.
  LayoutConstraint constraintEqualToConstant(double constant) const;

 private:
  friend class View;
  friend class LayoutGuide;
  using LayoutAnchor::LayoutAnchor;
};

}  // namespace telvora
