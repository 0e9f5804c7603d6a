#pragma once

#include <telvora/platform/Clock.hpp>
#include <telvora/platform/RunLoop.hpp>
#include <telvora/platform/View.hpp>

#include <cstdint>

namespace telvora {

// A ring with a number in it that counts down to zero, one step per
// interval: the pre-ad notice shows the seconds to a break with it.
//
// It counts on the main queue's timers (RunLoop::main()), so a test drives it
// with a manual clock. The timer refers to the view weakly and stops when the
// view goes away. Main queue only.
class CircularCountdownView : public View {
 public:
  using View::View;

  // Shows `beginningValue` (a negative one as 0) and lowers it by one every
  // `stepInterval` until it reaches 0, where the count stops. A start while
  // counting starts over. An interval below one millisecond counts as one
  // millisecond.
  void start(std::int64_t beginningValue, ClockDuration stepInterval);
  // Stops the count; the number stays as it is.
  void pause();

  std::int64_t currentValue() const { return currentValue_; }
  bool isCounting() const { return timer_.isValid(); }

  // Looks, for a renderer; set by the interface file.
  double lineWidth = 3;
  Color lineColor = Color::white();
  Color textColor = Color::white();

 private:
  void step();

  std::int64_t currentValue_ = 0;
  Timer timer_;
};

}  // namespace telvora
