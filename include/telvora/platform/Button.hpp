#pragma once

#include <telvora/platform/View.hpp>

#include <functional>
#include <string>
#include <vector>

namespace telvora {

// A tappable view. A tap sends the button's actions, in the order they were
// added, with the button as the sender. The interface-file loader adds the
// actions a file connects; code may add its own. Main queue only.
class Button : public View {
 public:
  using Action = std::function<void(Button& sender)>;
  using View::View;

  std::string title;

  void addAction(Action action);

  // What a host's input layer (or a test) calls when the user taps the
  // button. The actions run in a later task on the main queue, never inside
  // this call, so a tap cannot re-enter the code that reported it. A button
  // that is hidden, or inside a hidden view, is not on screen and ignores
  // the tap.
  void tap();

 private:
  std::vector<Action> actions_;
};

}  // namespace telvora
