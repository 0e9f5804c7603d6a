#include <telvora/platform/View.hpp>

#include "platform/ui/LayoutSolver.hpp"

#include <algorithm>

namespace telvora {

void View::addSubview(const std::shared_ptr<View>& child) {
  if (!child) return;
  for (const View* v = this; v != nullptr; v = v->superview_.lock().get()) {
    if (v == child.get()) return;  // would make a cycle
  }
  child->removeFromSuperview();
  child->superview_ = weak_from_this();
  subviews_.push_back(child);
}

void View::removeFromSuperview() {
  const std::shared_ptr<View> parent = superview_.lock();
  superview_.reset();
  if (!parent) return;
  auto& siblings = parent->subviews_;
  siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                [this](const std::shared_ptr<View>& v) { return v.get() == this; }),
                 siblings.end());
  std::erase_if(constraints_,
                [](const LayoutConstraint& c) { return c.secondAnchor().has_value(); });
}

LayoutXAxisAnchor View::leftAnchor() {
  return LayoutXAxisAnchor(weak_from_this(), false, LayoutAttribute::left);
}
LayoutXAxisAnchor View::rightAnchor() {
  return LayoutXAxisAnchor(weak_from_this(), false, LayoutAttribute::right);
}
LayoutYAxisAnchor View::topAnchor() {
  return LayoutYAxisAnchor(weak_from_this(), false, LayoutAttribute::top);
}
LayoutYAxisAnchor View::bottomAnchor() {
  return LayoutYAxisAnchor(weak_from_this(), false, LayoutAttribute::bottom);
}
LayoutDimension View::widthAnchor() {
  return LayoutDimension(weak_from_this(), false, LayoutAttribute::width);
}
LayoutDimension View::heightAnchor() {
  return LayoutDimension(weak_from_this(), false, LayoutAttribute::height);
}
LayoutGuide View::layoutMarginsGuide() {
  return LayoutGuide(weak_from_this());
}

void View::layoutIfNeeded() {
  detail::solveLayout(*this);
}

}  // namespace telvora
