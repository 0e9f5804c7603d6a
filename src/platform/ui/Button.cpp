#include <telvora/platform/Button.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <memory>

namespace telvora {

void Button::addAction(Action action) {
  if (action) actions_.push_back(std::move(action));
}

void Button::tap() {
  for (const View* v = this; v != nullptr; v = v->superview().get()) {
    if (v->hidden) return;
  }
  RunLoop::main().async([weak = weak_from_this()] {
    const std::shared_ptr<View> view = weak.lock();
    if (!view) return;
    auto& self = static_cast<Button&>(*view);
    // A copy: an action may add another action to this button.
    const std::vector<Action> actions = self.actions_;
    for (const Action& action : actions)
      action(self);
  });
}

}  // namespace telvora
