#include "views/SkipView.hpp"

#include <string>

namespace telvora {

std::shared_ptr<SkipView> SkipView::loadViewFromNib() {
  return Nib::loadView<SkipView>(*Bundle::library(), nibClass());
}

const NibClass& SkipView::nibClass() {
  static const NibClass kClass = NibClass::of<SkipView>("SkipView")
                                     .outlet("textLabel", &SkipView::textLabel)
                                     .outlet("contentView", &SkipView::contentView)
                                     .outlet("timerLabel", &SkipView::timerLabel)
                                     .outlet("timerView", &SkipView::timerView)
                                     .action("skipAction", &SkipView::skipAction);
  return kClass;
}

void SkipView::awakeFromNib() {
  View::awakeFromNib();
  if (const auto content = contentView.lock()) content->layer.cornerRadius = 5;
}

void SkipView::setCounDouwnTime(std::int64_t counDouwnTime) {
  counDouwnTime_ = counDouwnTime;
  if (counDouwnTime_ <= 0) {
    if (const auto content = contentView.lock()) content->hidden = false;
    if (const auto timer = timerView.lock()) timer->hidden = true;
    ignoreSkip_ = false;
  } else if (const auto label = timerLabel.lock()) {
    label->text = std::to_string(counDouwnTime_);
  }
}

void SkipView::setupView() {
  switch (skipDisplay) {
    case AdConfig::SkipDisplay::hideBeforeShow:
      if (const auto timer = timerView.lock()) timer->hidden = true;
      break;
    case AdConfig::SkipDisplay::greyBeforeShow:
      if (const auto label = textLabel.lock()) label->textColor = Color::grey();
      if (const auto timer = timerView.lock()) timer->hidden = true;
      ignoreSkip_ = true;
      break;
    case AdConfig::SkipDisplay::countDownBeforeShow:
      if (const auto content = contentView.lock()) content->hidden = true;
      ignoreSkip_ = true;
      if (const auto label = timerLabel.lock()) label->text = std::to_string(counDouwnTime_);
      break;
  }
}

void SkipView::unblockGreyStyle() {
  ignoreSkip_ = false;
  if (const auto label = textLabel.lock()) label->textColor = Color::white();
}

void SkipView::setUpText(const std::string& text) {
  if (const auto label = textLabel.lock()) label->text = text;
}

void SkipView::skipAction(Button& /*sender*/) {
  if (ignoreSkip_ || !skipComplition) return;
  // A copy: the callback may remove this view and end its life.
  const std::function<void()> complition = skipComplition;
  complition();
}

}  // namespace telvora
