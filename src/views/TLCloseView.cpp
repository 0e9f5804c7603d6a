#include "views/TLCloseView.hpp"

namespace telvora {

std::shared_ptr<TLCloseView> TLCloseView::loadViewFromNib() {
  return Nib::loadView<TLCloseView>(*Bundle::library(), nibClass());
}

const NibClass& TLCloseView::nibClass() {
  static const NibClass kClass = NibClass::of<TLCloseView>("TLCloseView")
                                     .outlet("contentView", &TLCloseView::contentView)
                                     .outlet("closeButton", &TLCloseView::closeButton)
                                     .action("closeAction", &TLCloseView::closeAction);
  return kClass;
}

void TLCloseView::awakeFromNib() {
  View::awakeFromNib();
  if (const auto content = contentView.lock()) content->layer.cornerRadius = 5;
}

void TLCloseView::closeAction(Button& /*sender*/) {
  if (!closeComplition) return;
  // A copy: the callback may remove this view and end its life.
  const std::function<void()> complition = closeComplition;
  complition();
}

}  // namespace telvora
