#include "session/BehaviourChoice.hpp"

#include "scheduling/IntervalSchedulerBehaivour.hpp"
#include "scheduling/LiveSlotsSchedulerBehaivour.hpp"
#include "scheduling/ManifestSchedulerBehaivour.hpp"
#include "scheduling/WODSlotsSchedulerBehaivour.hpp"

namespace telvora {

BehaviourChoice chooseBehaviour(const Config& config, std::optional<VideoType> videoType) {
  const bool live = videoType == VideoType::live;
  BehaviourChoice choice{live ? config.live : config.onDemand, BehaviourKind::none};
  if (!choice.stream.breakingAdsMode) return choice;
  switch (*choice.stream.breakingAdsMode) {
    case StreamConfig::Mode::interval:
      choice.behaviour = BehaviourKind::interval;
      break;
    case StreamConfig::Mode::slots:
      choice.behaviour = live ? BehaviourKind::liveSlots : BehaviourKind::vodSlots;
      break;
    case StreamConfig::Mode::cue:
      choice.behaviour = BehaviourKind::cue;
      break;
  }
  return choice;
}

std::string_view adModeName(BehaviourKind kind) {
  switch (kind) {
    case BehaviourKind::none:
      return {};
    case BehaviourKind::interval:
      return "Interval";
    case BehaviourKind::liveSlots:
    case BehaviourKind::vodSlots:
      return "Slots";
    case BehaviourKind::cue:
      return "Cue Points";
  }
  return {};
}

std::shared_ptr<TelvoraSchedulerBehaivour> makeBehaviour(
    const BehaviourChoice& choice, TimedEventHandler handler,
    std::shared_ptr<ManifestParser> manifestParser, std::function<void(double)> totalDuration) {
  switch (choice.behaviour) {
    case BehaviourKind::none:
      return nullptr;
    case BehaviourKind::interval:
      return std::make_shared<IntervalSchedulerBehaivour>(choice.stream, std::move(handler));
    case BehaviourKind::liveSlots:
      return std::make_shared<LiveSlotsSchedulerBehaivour>(choice.stream, std::move(handler));
    case BehaviourKind::vodSlots:
      return std::make_shared<WODSlotsSchedulerBehaivour>(choice.stream, std::move(handler));
    case BehaviourKind::cue:
      return ManifestSchedulerBehaivour::create(
          choice.stream, std::move(handler), std::move(manifestParser), std::move(totalDuration));
  }
  return nullptr;
}

}  // namespace telvora
