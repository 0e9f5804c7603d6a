#include "views/ViewsManager.hpp"

#include "platform/runloop/MainQueue.hpp"

#include <telvora/platform/RunLoop.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

namespace telvora {
namespace {

// Above the ad and everything else in the video view.
constexpr double kTopmost = std::numeric_limits<float>::max();

// `seconds` rounded down; 0 for a negative value or NaN, the largest count
// for one beyond the 64-bit range, so no conversion overflows.
std::int64_t wholeSecondsDown(double seconds) {
  if (!(seconds > 0)) return 0;
  const double down = std::floor(seconds);
  if (down >= 0x1p63) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(down);
}

}  // namespace

std::shared_ptr<ViewsManager> ViewsManager::create() {
  return std::make_shared<ViewsManager>(Token{});
}

ViewsManager::ViewsManager(Token) : coverView_(std::make_shared<View>()) {}

void ViewsManager::enqueue(std::function<void(ViewsManager&)> work) {
  RunLoop::main().async([weak = weak_from_this(), work = std::move(work)] {
    if (const std::shared_ptr<ViewsManager> self = weak.lock()) work(*self);
  });
}

void ViewsManager::addPreAdNotificationView(double duration, const std::shared_ptr<View>& view,
                                            PreAdNotification::Position position,
                                            std::optional<std::string> text) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  preAdNotificationViewIsActive_ = true;
  enqueue([parent = std::weak_ptr<View>(view), seconds = wholeSecondsDown(duration), position,
           text = std::move(text)](ViewsManager& self) {
    self.takeAwayPreAdNotificationView();
    const std::shared_ptr<View> parentView = parent.lock();
    if (!parentView) return;
    const std::shared_ptr<TLPreAdnotificationView> notice =
        TLPreAdnotificationView::loadViewFromNib();
    self.preAdNotificationView_ = notice;
    if (!notice) return;
    parentView->addSubview(notice);
    notice->translatesAutoresizingMaskIntoConstraints = false;
    if (const auto countdown = notice->countdownTimer.lock()) {
      countdown->start(seconds, std::chrono::seconds(1));
    }
    if (text) {
      if (const auto label = notice->textLabel.lock()) label->text = *text;
    }

    using Position = PreAdNotification::Position;
    const LayoutGuide guide = parentView->layoutMarginsGuide();
    const bool top = position == Position::top_left || position == Position::top_right;
    const bool left = position == Position::top_left || position == Position::bottom_left;
    const auto content = notice->contentView.lock();
    LayoutConstraint::activate({
        top ? notice->topAnchor().constraintEqualTo(guide.topAnchor(), 10)
            : notice->bottomAnchor().constraintEqualTo(guide.bottomAnchor(), 10),
        left ? notice->leftAnchor().constraintEqualTo(guide.leftAnchor(), 0)
             : notice->rightAnchor().constraintEqualTo(guide.rightAnchor(), 0),
        notice->widthAnchor().constraintEqualToConstant(content ? content->frame.width : 0),
        notice->heightAnchor().constraintEqualToConstant(notice->frame.height),
    });
    parentView->layoutIfNeeded();
  });
}

void ViewsManager::removePreAdNotificationView() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  preAdNotificationViewIsActive_ = false;
  enqueue([](ViewsManager& self) { self.takeAwayPreAdNotificationView(); });
}

void ViewsManager::takeAwayPreAdNotificationView() {
  if (!preAdNotificationView_) return;
  if (const auto countdown = preAdNotificationView_->countdownTimer.lock()) countdown->pause();
  preAdNotificationView_->removeFromSuperview();
  preAdNotificationView_.reset();
}

void ViewsManager::addCoverView(const std::shared_ptr<View>& view) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  enqueue([parent = std::weak_ptr<View>(view)](ViewsManager& self) {
    const std::shared_ptr<View> parentView = parent.lock();
    if (!parentView) return;
    const double side = std::max(parentView->frame.height, parentView->frame.width);
    self.coverView_->frame = Rect{0, 0, side, side};
    self.coverView_->backgroundColor = Color::black();
    self.coverView_->layer.zPosition = 0;
    parentView->addSubview(self.coverView_);
  });
}

void ViewsManager::removeCoverView() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  enqueue([](ViewsManager& self) { self.coverView_->removeFromSuperview(); });
}

void ViewsManager::addSkipView(const std::shared_ptr<TelvoraAVPlayer>& telvoraAVPlayer,
                               AdConfig::SkipDisplay skipDisplay, std::int64_t counDouwnTime,
                               std::string text, std::function<void()> complition) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  enqueue([player = std::weak_ptr<TelvoraAVPlayer>(telvoraAVPlayer), skipDisplay, counDouwnTime,
           text = std::move(text), complition = std::move(complition)](ViewsManager& self) {
    self.takeAwaySkipView();
    const std::shared_ptr<TelvoraAVPlayer> avPlayer = player.lock();
    const std::shared_ptr<View> parentView = avPlayer ? avPlayer->videoView : nullptr;
    if (!parentView) return;
    const std::shared_ptr<SkipView> skip = SkipView::loadViewFromNib();
    self.skipView_ = skip;
    if (!skip) return;
    skip->layer.zPosition = kTopmost;
    parentView->addSubview(skip);
    skip->skipDisplay = skipDisplay;
    skip->setCounDouwnTime(counDouwnTime);
    skip->skipComplition = complition;
    skip->setUpText(text);
    skip->setupView();

    skip->translatesAutoresizingMaskIntoConstraints = false;
    const LayoutGuide guide = parentView->layoutMarginsGuide();
    LayoutConstraint::activate({
        skip->bottomAnchor().constraintEqualTo(guide.bottomAnchor(), 0),
        skip->rightAnchor().constraintEqualTo(guide.rightAnchor(), 0),
        skip->widthAnchor().constraintEqualToConstant(100),
        skip->heightAnchor().constraintEqualToConstant(24),
    });
    parentView->layoutIfNeeded();
  });
}

void ViewsManager::unblockSkipViewGreyStyle() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (skipView_) skipView_->unblockGreyStyle();
}

void ViewsManager::updeteCounDounTime(std::int64_t counDouwnTime) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (skipView_) skipView_->setCounDouwnTime(counDouwnTime);
}

void ViewsManager::removeSkipView() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  enqueue([](ViewsManager& self) { self.takeAwaySkipView(); });
}

void ViewsManager::takeAwaySkipView() {
  if (skipView_) skipView_->removeFromSuperview();
  skipView_.reset();
}

void ViewsManager::addCloseView(const std::shared_ptr<View>& view,
                                std::function<void()> complition) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  enqueue(
      [parent = std::weak_ptr<View>(view), complition = std::move(complition)](ViewsManager& self) {
        self.takeAwayCloseView();
        const std::shared_ptr<View> parentView = parent.lock();
        if (!parentView) return;
        const std::shared_ptr<TLCloseView> close = TLCloseView::loadViewFromNib();
        self.closeView_ = close;
        if (!close) return;
        if (const auto button = close->closeButton.lock()) button->layer.zPosition = kTopmost;
        parentView->addSubview(close);
        close->closeComplition = complition;

        close->translatesAutoresizingMaskIntoConstraints = false;
        const LayoutGuide guide = parentView->layoutMarginsGuide();
        LayoutConstraint::activate({
            close->topAnchor().constraintEqualTo(guide.topAnchor(), 0),
            close->leftAnchor().constraintEqualTo(guide.leftAnchor(), 0),
            close->widthAnchor().constraintEqualToConstant(25),
            close->heightAnchor().constraintEqualToConstant(25),
        });
        parentView->layoutIfNeeded();
      });
}

void ViewsManager::removeCloseView() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  enqueue([](ViewsManager& self) { self.takeAwayCloseView(); });
}

void ViewsManager::takeAwayCloseView() {
  if (closeView_) closeView_->removeFromSuperview();
  closeView_.reset();
}

}  // namespace telvora
