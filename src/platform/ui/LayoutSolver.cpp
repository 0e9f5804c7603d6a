#include "platform/ui/LayoutSolver.hpp"

#include <telvora/platform/View.hpp>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace telvora::detail {
namespace {

// A rectangle in the coordinates of the topmost ancestor, `root`. Anchors of
// two items compare only within one tree.
struct Placement {
  const View* root;
  Rect rect;
};

Placement placementOf(const View& view) {
  Placement p{&view, view.frame};
  for (std::shared_ptr<View> parent = view.superview(); parent; parent = parent->superview()) {
    p.rect.x += parent->frame.x;
    p.rect.y += parent->frame.y;
    p.root = parent.get();
  }
  return p;
}

Placement marginsGuidePlacementOf(const View& view) {
  Placement p = placementOf(view);
  const EdgeInsets& m = view.layoutMargins;
  p.rect.x += m.left;
  p.rect.y += m.top;
  p.rect.width = std::max(0.0, p.rect.width - m.left - m.right);
  p.rect.height = std::max(0.0, p.rect.height - m.top - m.bottom);
  return p;
}

double valueOf(const Rect& r, LayoutAttribute attribute) {
  switch (attribute) {
    case LayoutAttribute::left:
      return r.x;
    case LayoutAttribute::right:
      return r.x + r.width;
    case LayoutAttribute::top:
      return r.y;
    case LayoutAttribute::bottom:
      return r.y + r.height;
    case LayoutAttribute::width:
      return r.width;
    case LayoutAttribute::height:
      return r.height;
  }
  return 0;
}

// What the constraints of one view say about one axis.
struct Axis {
  std::optional<double> lead;   // left or top
  std::optional<double> trail;  // right or bottom
  std::optional<double> size;   // width or height
};

std::optional<double>& slotFor(Axis& x, Axis& y, LayoutAttribute attribute) {
  switch (attribute) {
    case LayoutAttribute::left:
      return x.lead;
    case LayoutAttribute::right:
      return x.trail;
    case LayoutAttribute::width:
      return x.size;
    case LayoutAttribute::top:
      return y.lead;
    case LayoutAttribute::bottom:
      return y.trail;
    case LayoutAttribute::height:
      return y.size;
  }
  return x.lead;
}

// Origin and size on one axis, in root coordinates.
void resolve(const Axis& axis, double& origin, double& size) {
  if (axis.lead && axis.size) {
    origin = *axis.lead;
    size = *axis.size;
  } else if (axis.trail && axis.size) {
    origin = *axis.trail - *axis.size;
    size = *axis.size;
  } else if (axis.lead && axis.trail) {
    origin = *axis.lead;
    size = std::max(0.0, *axis.trail - *axis.lead);
  } else if (axis.lead) {
    origin = *axis.lead;
  } else if (axis.trail) {
    origin = *axis.trail - size;
  } else if (axis.size) {
    size = *axis.size;
  }
}

// Returns whether the frame changed.
bool place(View& view) {
  if (view.translatesAutoresizingMaskIntoConstraints || view.constraints().empty()) return false;
  const Placement self = placementOf(view);
  Axis x;
  Axis y;
  for (const LayoutConstraint& c : view.constraints()) {
    double value = c.constant();
    if (const std::optional<LayoutAnchor>& second = c.secondAnchor()) {
      const std::shared_ptr<View> other = second->view();
      if (!other) continue;
      const Placement p =
          second->isMarginsGuide() ? marginsGuidePlacementOf(*other) : placementOf(*other);
      if (p.root != self.root) continue;
      value += valueOf(p.rect, second->attribute());
    }
    std::optional<double>& slot = slotFor(x, y, c.firstAnchor().attribute());
    if (!slot) slot = value;
  }
  Rect r = self.rect;
  resolve(x, r.x, r.width);
  resolve(y, r.y, r.height);
  if (const std::shared_ptr<View> parent = view.superview()) {
    const Placement origin = placementOf(*parent);
    r.x -= origin.rect.x;
    r.y -= origin.rect.y;
  }
  if (r == view.frame) return false;
  view.frame = r;
  return true;
}

void collect(const View& view, std::vector<std::shared_ptr<View>>& into) {
  for (const std::shared_ptr<View>& child : view.subviews()) {
    into.push_back(child);
    collect(*child, into);
  }
}

}  // namespace

void solveLayout(View& root) {
  std::vector<std::shared_ptr<View>> views;
  collect(root, views);
  for (std::size_t pass = 0; pass <= views.size(); ++pass) {
    bool changed = false;
    for (const std::shared_ptr<View>& view : views)
      changed = place(*view) || changed;
    if (!changed) return;
  }
}

}  // namespace telvora::detail
