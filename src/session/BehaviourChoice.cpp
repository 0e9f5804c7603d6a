#include "session/BehaviourChoice.hpp"

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

}  // namespace telvora
