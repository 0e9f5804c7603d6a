#include "scheduling/ManifestSchedulerBehaivour.hpp"

#include "scheduling/BreakEvents.hpp"
#include "scheduling/WholeSeconds.hpp"

#include <cstddef>

namespace telvora {

namespace {
constexpr double kNothingAhead = 100000;
constexpr std::int64_t kMaxPods = 1000;
constexpr double kPrepareWindow = 15;
}  // namespace

std::shared_ptr<ManifestSchedulerBehaivour> ManifestSchedulerBehaivour::create(
    StreamConfig streamConfig, TimedEventHandler timedEventOccured,
    std::shared_ptr<ManifestParser> manifestParser,
    TotalManifestDuretionCalculeted totalManifestDuretionCalculeted) {
  auto behaviour = std::make_shared<ManifestSchedulerBehaivour>(
      Token{}, std::move(streamConfig), std::move(timedEventOccured), std::move(manifestParser),
      std::move(totalManifestDuretionCalculeted));
  if (behaviour->manifestParser_) {
    behaviour->manifestParser_->manifestParsed = [weak = behaviour->weak_from_this()](
                                                     const std::vector<CuePoint>& cuePoints,
                                                     double totalDuration) {
      if (auto self = weak.lock()) self->manifestParsed(cuePoints, totalDuration);
    };
  }
  return behaviour;
}

ManifestSchedulerBehaivour::ManifestSchedulerBehaivour(
    Token, StreamConfig streamConfig, TimedEventHandler timedEventOccured,
    std::shared_ptr<ManifestParser> manifestParser,
    TotalManifestDuretionCalculeted totalManifestDuretionCalculeted)
    : streamConfig_(std::move(streamConfig)),
      timedEventOccured_(std::move(timedEventOccured)),
      totalManifestDuretionCalculeted_(std::move(totalManifestDuretionCalculeted)),
      manifestParser_(std::move(manifestParser)) {}

void ManifestSchedulerBehaivour::manifestParsed(const std::vector<CuePoint>& cuePoints,
                                                double totalDuration) {
  if (totalManifestDuretionCalculeted_) totalManifestDuretionCalculeted_(totalDuration);
  cuePoints_ = cuePoints;
}

void ManifestSchedulerBehaivour::calculeteTimings(const PlaybackProgress& playbackProgress) {
  if (!cuePoints_) return;
  const double p = playbackProgress.position();
  const std::optional<std::int64_t> second = wholeSeconds(p);

  // The whole list is read before anything is sent, so the handler never
  // runs in the middle of the walk.
  std::size_t stopAds = 0;
  std::optional<TimedEvent> decided;
  double next = kNothingAhead;
  for (const CuePoint& c : *cuePoints_) {
    if (c.type == CuePoint::CuePointType::endAdd) {
      if (second && wholeSeconds(c.timeEnd) == second) ++stopAds;
      continue;
    }
    const double ahead = p - c.timeStart;
    if (c.timeEnd <= p && p <= c.timeStart) {
      decided.emplace(TimedEvent::EventType::start, p - c.timeEnd, kMaxPods,
                      midrollAdTag(streamConfig_), ahead);
      break;
    }
    if (ahead >= 0 && ahead <= kPrepareWindow) {
      decided.emplace(TimedEvent::EventType::prepare, c.timeStart - c.timeEnd, kMaxPods,
                      midrollAdTag(streamConfig_), ahead);
      break;
    }
    if (ahead > 0) next = ahead;
  }
  if (!decided) decided.emplace(waitEvent(next));

  for (std::size_t i = 0; i < stopAds; ++i) {
    sendTimedEvent(timedEventOccured_, TimedEvent(TimedEvent::EventType::stopAd));
  }
  sendTimedEvent(timedEventOccured_, *decided);
}

}  // namespace telvora
