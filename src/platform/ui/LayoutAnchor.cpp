#include <telvora/platform/LayoutAnchor.hpp>
#include <telvora/platform/LayoutConstraint.hpp>

namespace telvora {

LayoutConstraint LayoutXAxisAnchor::constraintEqualTo(const LayoutXAxisAnchor& other,
                                                      double constant) const {
  return LayoutConstraint(*this, other, constant);
}

LayoutConstraint LayoutYAxisAnchor::constraintEqualTo(const LayoutYAxisAnchor& other,
                                                      double constant) const {
  return LayoutConstraint(*this, other, constant);
}

LayoutConstraint LayoutDimension::constraintEqualToConstant(double constant) const {
  return LayoutConstraint(*this, std::nullopt, constant);
}

}  // namespace telvora
