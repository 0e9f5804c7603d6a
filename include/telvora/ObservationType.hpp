#pragma once

#include <telvora/platform/MediaTime.hpp>

namespace telvora {

// Polling speed of the playback tick: once a second while no ad is near,
// every 50 milliseconds around ad breaks.
enum class ObservationType { slow, fast };

// The tick's interval as a media time with timescale 1000000000.
inline MediaTime getInterval(ObservationType type) {
  constexpr std::int32_t kNanoseconds = 1'000'000'000;
  return type == ObservationType::slow ? MediaTime{kNanoseconds, kNanoseconds}
                                       : MediaTime{50'000'000, kNanoseconds};
}

// The same in seconds: 1.0 or 0.05.
inline double getInterValSecounds(ObservationType type) {
  return type == ObservationType::slow ? 1.0 : 0.05;
}

}  // namespace telvora
