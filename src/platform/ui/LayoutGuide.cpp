#include <telvora/platform/LayoutGuide.hpp>

namespace telvora {

LayoutXAxisAnchor LayoutGuide::leftAnchor() const {
  return LayoutXAxisAnchor(view_, true, LayoutAttribute::left);
}
LayoutXAxisAnchor LayoutGuide::rightAnchor() const {
  return LayoutXAxisAnchor(view_, true, LayoutAttribute::right);
}
LayoutYAxisAnchor LayoutGuide::topAnchor() const {
  return LayoutYAxisAnchor(view_, true, LayoutAttribute::top);
}
LayoutYAxisAnchor LayoutGuide::bottomAnchor() const {
  return LayoutYAxisAnchor(view_, true, LayoutAttribute::bottom);
}
LayoutDimension LayoutGuide::widthAnchor() const {
  return LayoutDimension(view_, true, LayoutAttribute::width);
}
LayoutDimension LayoutGuide::heightAnchor() const {
  return LayoutDimension(view_, true, LayoutAttribute::height);
}

}  // namespace telvora
