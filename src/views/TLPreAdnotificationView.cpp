#include "views/TLPreAdnotificationView.hpp"

namespace telvora {

std::shared_ptr<TLPreAdnotificationView> TLPreAdnotificationView::loadViewFromNib() {
  return Nib::loadView<TLPreAdnotificationView>(*Bundle::library(), nibClass());
}

const NibClass& TLPreAdnotificationView::nibClass() {
  static const NibClass kClass =
      NibClass::of<TLPreAdnotificationView>("TLPreAdnotificationView")
          .outlet("countdownTimer", &TLPreAdnotificationView::countdownTimer)
          .outlet("textLabel", &TLPreAdnotificationView::textLabel)
          .outlet("contentView", &TLPreAdnotificationView::contentView);
  return kClass;
}

void TLPreAdnotificationView::awakeFromNib() {
  View::awakeFromNib();
  if (const auto content = contentView.lock()) content->layer.cornerRadius = 5;
}

}  // namespace telvora
