#pragma once

#include <telvora/platform/LayoutAnchor.hpp>

#include <optional>
#include <utility>
#include <vector>

namespace telvora {

// "first = second + constant" or "first = constant", made by the anchors'
// constraintEqualTo / constraintEqualToConstant. A constraint does nothing
// until it is activated; View::layoutIfNeeded() then solves the active
// constraints into frames. Main queue only, like the views.
class LayoutConstraint {
 public:
  // Makes each constraint active, in the given order, on the view of its
  // first anchor (a constraint whose first anchor is a margins guide, or
  // whose view is gone, is dropped). A view's own constraints apply only
  // while its translatesAutoresizingMaskIntoConstraints is false.
  static void activate(const std::vector<LayoutConstraint>& constraints);

  const LayoutAnchor& firstAnchor() const { return first_; }
  // Absent for "size = constant".
  const std::optional<LayoutAnchor>& secondAnchor() const { return second_; }
  double constant() const { return constant_; }

 private:
  friend class LayoutXAxisAnchor;
  friend class LayoutYAxisAnchor;
  friend class LayoutDimension;
  LayoutConstraint(LayoutAnchor first, std::optional<LayoutAnchor> second, double constant)
      : first_(std::move(first)), second_(std::move(second)), constant_(constant) {}

  LayoutAnchor first_;
  std::optional<LayoutAnchor> second_;
  double constant_;
};

}  // namespace telvora
