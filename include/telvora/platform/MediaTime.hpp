#pragma once

#include <cstdint>

namespace telvora {

// An exact media time: value / timescale seconds.
struct MediaTime {
  std::int64_t value = 0;
  std::int32_t timescale = 1;

  double seconds() const {
    return timescale == 0 ? 0.0 : static_cast<double>(value) / static_cast<double>(timescale);
  }
  friend bool operator==(const MediaTime&, const MediaTime&) = default;
};

}  // namespace telvora
