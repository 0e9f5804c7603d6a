#pragma once

#include <telvora/Config.hpp>
#include <telvora/VideoType.hpp>

#include "scheduling/TelvoraSchedulerBehaivour.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

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

// The debug record's name of a behaviour ("Interval", "Slots", "Cue Points");
// empty for none.
std::string_view adModeName(BehaviourKind kind);

class ManifestParser;

// A new behaviour of the chosen kind over the chosen stream configuration,
// sending its events to `handler`; null for none. The cue-point behaviour
// takes its cue points from `manifestParser` and reports each playlist's
// total duration through `totalDuration`.
std::shared_ptr<TelvoraSchedulerBehaivour> makeBehaviour(
    const BehaviourChoice& choice, TimedEventHandler handler,
    std::shared_ptr<ManifestParser> manifestParser, std::function<void(double)> totalDuration);

}  // namespace telvora
