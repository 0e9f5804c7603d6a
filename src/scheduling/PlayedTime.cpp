#include "scheduling/PlayedTime.hpp"

#include <algorithm>
#include <cmath>

namespace telvora {

void countPlayedTime(const PlaybackProgress& playbackProgress, std::optional<double>& oldPosition,
                     double& timer) {
  const double position = playbackProgress.position();
  if (!std::isfinite(position)) return;
  if (!oldPosition) oldPosition = position;

  double last = *oldPosition;
  if (*oldPosition > position) last = position - playbackProgress.pollingDelay();
  const double step = std::min(position - last, 1.0);
  if (step > 0) timer += step;  // false for NaN too
  oldPosition = position;
}

}  // namespace telvora
