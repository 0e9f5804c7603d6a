#pragma once

#include "scheduling/PlaybackProgress.hpp"

#include <optional>

namespace telvora {

// Counts content time that has actually been played, for the behaviours that
// must not take the playback position as a clock (interval and live slots):
// a seek must neither bring a break forward nor push it back.
//
// Adds one tick's worth to `timer` and moves `oldPosition` on. A tick counts
// at most 1 second: a forward step counts its length up to 1 second, a
// backward step (a seek back on demand, an ordinary tick on live content where
// the position shrinks) counts the polling delay up to 1 second, and the first
// tick (`oldPosition` absent) counts nothing. A tick whose position is not a
// finite number counts nothing and is not remembered, so it cannot spoil the
// count; a polling delay that is negative or not a number counts nothing.
void countPlayedTime(const PlaybackProgress& playbackProgress, std::optional<double>& oldPosition,
                     double& timer);

}  // namespace telvora
