#pragma once

#include <telvora/Config.hpp>
#include <telvora/VideoType.hpp>

#include <optional>

namespace telvora {

// Which scheduling behaviour places the mid-rolls.
enum class BehaviourKind { none, interval, liveSlots, vodSlots, cue };

struct BehaviourChoice {
  StreamConfig stream;      // live for a live stream, onDemand otherwise
  BehaviourKind behaviour;  // none when the stream has no breakingAdsMode
};

// The stream configuration and behaviour for a video type; a type not
// decided yet counts as on demand. The defaults are never picked by
// themselves: they only complete live and onDemand.
BehaviourChoice chooseBehaviour(const Config& config, std::optional<VideoType> videoType);

}  // namespace telvora
