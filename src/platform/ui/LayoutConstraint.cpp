#include <telvora/platform/LayoutConstraint.hpp>
#include <telvora/platform/View.hpp>

namespace telvora {

void LayoutConstraint::activate(const std::vector<LayoutConstraint>& constraints) {
  for (const LayoutConstraint& c : constraints) {
    if (c.first_.isMarginsGuide()) continue;
    if (const std::shared_ptr<View> view = c.first_.view()) view->constraints_.push_back(c);
  }
}

}  // namespace telvora
