#include <telvora/platform/CircularCountdownView.hpp>

#include <algorithm>
#include <memory>

namespace telvora {

void CircularCountdownView::start(std::int64_t beginningValue, ClockDuration stepInterval) {
  timer_.invalidate();
  currentValue_ = std::max<std::int64_t>(beginningValue, 0);
  if (currentValue_ == 0) return;
  timer_ = RunLoop::main().scheduleTimer(stepInterval, true, [weak = weak_from_this()] {
    if (const std::shared_ptr<View> view = weak.lock()) {
      static_cast<CircularCountdownView&>(*view).step();
    }
  });
}

void CircularCountdownView::pause() {
  timer_.invalidate();
}

void CircularCountdownView::step() {
  if (currentValue_ > 0) --currentValue_;
  if (currentValue_ == 0) timer_.invalidate();
}

}  // namespace telvora
