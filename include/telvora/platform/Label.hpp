#pragma once

#include <telvora/platform/View.hpp>

#include <string>

namespace telvora {

// A view that shows one line of text. Main queue only.
class Label : public View {
 public:
  using View::View;

  std::string text;
  Color textColor = Color::black();
};

}  // namespace telvora
