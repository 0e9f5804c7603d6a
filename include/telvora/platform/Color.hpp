#pragma once

namespace telvora {

// A colour as red, green, blue and opacity, each from 0 to 1. Plain data that
// a renderer reads; the toolkit itself never draws.
struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  static constexpr Color black() { return {0, 0, 0, 1}; }
  static constexpr Color white() { return {1, 1, 1, 1}; }
  // 50 % white, the standard grey.
  static constexpr Color grey() { return {0.5, 0.5, 0.5, 1}; }

  friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace telvora
