#pragma once

#include <telvora/platform/Color.hpp>
#include <telvora/platform/LayoutConstraint.hpp>
#include <telvora/platform/LayoutGuide.hpp>

#include <memory>
#include <optional>
#include <vector>

namespace telvora {

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Distances inward from a rectangle's edges.
struct EdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;
  friend bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

// How a view is drawn, for a renderer: rounded corners and the stacking
// position among its siblings (higher is nearer the viewer).
struct Layer {
  double cornerRadius = 0;
  double zPosition = 0;
};

// A rectangle on screen with child views drawn over it, last child on top.
// The host's video view is one; the library puts its ad display and overlay
// views into it as children. Views belong to the main queue: create, change
// and read them only there.
//
// The model is plain data (frame, colours, flags) for a renderer to draw;
// the toolkit does no drawing and no hit-testing. Frames are in the parent's
// coordinates. A view's frame is either set directly or, once its
// translatesAutoresizingMaskIntoConstraints is switched off, solved from its
// active layout constraints by layoutIfNeeded() on one of its ancestors.
//
// Always held by std::shared_ptr: a child keeps a weak reference to its
// parent, and anchors and guides refer to their view weakly.
class View : public std::enable_shared_from_this<View> {
 public:
  View() = default;
  explicit View(Rect frame) : frame(frame) {}
  virtual ~View() = default;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  Rect frame;
  bool hidden = false;
  std::optional<Color> backgroundColor;  // absent: transparent
  Layer layer;
  // While true (the default) the frame is the view's own and its
  // constraints are not applied; switch it off to place the view by
  // constraints.
  bool translatesAutoresizingMaskIntoConstraints = true;
  // The insets of layoutMarginsGuide() within this view's bounds.
  EdgeInsets layoutMargins{8, 8, 8, 8};

  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  std::shared_ptr<View> superview() const { return superview_.lock(); }

  // Puts `child` on top of the other children, taking it away from an earlier
  // parent first. Adding a view to itself or to one of its own children is
  // refused (it would make a cycle).
  void addSubview(const std::shared_ptr<View>& child);
  // Takes this view out of its parent's children; nothing if it has none.
  // The view's constraints that tie it to another view or guide go with it
  // (they referred to the hierarchy it leaves); its size constants stay.
  void removeFromSuperview();

  LayoutXAxisAnchor leftAnchor();
  LayoutXAxisAnchor rightAnchor();
  LayoutYAxisAnchor topAnchor();
  LayoutYAxisAnchor bottomAnchor();
  LayoutDimension widthAnchor();
  LayoutDimension heightAnchor();
  LayoutGuide layoutMarginsGuide();

  // The active constraints whose first anchor is this view's, in activation
  // order.
  const std::vector<LayoutConstraint>& constraints() const { return constraints_; }

  // Solves the active constraints of every view below this one into their
  // frames. On each axis a view takes, from its constraints, the first one
  // of each kind (leading edge, trailing edge, size): two of them fix the
  // axis; with all three the trailing edge gives way; with one, what it
  // does not fix keeps its current value. A constraint to a view in another
  // tree, or to a view that is gone, is skipped. A host calls it on its
  // video view after changing that view's frame and before drawing; the
  // views manager calls it when it places an overlay.
  void layoutIfNeeded();

  // Called by the interface-file loader (Nib) once every object of the file
  // exists and its outlets and actions are connected. Overrides call the
  // base first.
  virtual void awakeFromNib() {}

 private:
  friend class LayoutConstraint;
  std::vector<std::shared_ptr<View>> subviews_;
  std::weak_ptr<View> superview_;
  std::vector<LayoutConstraint> constraints_;
};

}  // namespace telvora
