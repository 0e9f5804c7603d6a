#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace telvora {

// `seconds` rounded to the nearest whole second, halves away from zero; absent
// when it is not a finite number or does not fit a 64-bit integer. The
// behaviours that compare positions by the second use it, so a broken
// position never reaches an integer conversion.
inline std::optional<std::int64_t> wholeSeconds(double seconds) {
  const double rounded = std::round(seconds);
  // 2^63 is exact as a double; every double below it converts without loss.
  if (!(rounded >= -0x1p63 && rounded < 0x1p63)) return std::nullopt;
  return static_cast<std::int64_t>(rounded);
}

}  // namespace telvora
