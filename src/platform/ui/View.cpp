#include <telvora/platform/View.hpp>

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
}

}  // namespace telvora
