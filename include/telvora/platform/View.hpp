#pragma once

#include <memory>
#include <vector>

namespace telvora {

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle on screen with child views drawn over it, last child on top.
// The host's video view is one; the library puts its ad display and overlay
// views into it as children. Views belong to the main queue: create, change
// and read them only there.
//
// Always held by std::shared_ptr: a child keeps a weak reference to its parent.
class View : public std::enable_shared_from_this<View> {
 public:
  View() = default;
  explicit View(Rect frame) : frame(frame) {}
  virtual ~View() = default;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  Rect frame;

  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  std::shared_ptr<View> superview() const { return superview_.lock(); }

  // Puts `child` on top of the other children, taking it away from an earlier
  // parent first. Adding a view to itself or to one of its own children is
  // refused (it would make a cycle).
  void addSubview(const std::shared_ptr<View>& child);
  // Takes this view out of its parent's children; nothing if it has none.
  void removeFromSuperview();

 private:
  std::vector<std::shared_ptr<View>> subviews_;
  std::weak_ptr<View> superview_;
};

}  // namespace telvora
