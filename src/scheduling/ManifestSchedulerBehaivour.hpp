#pragma once

#include <telvora/StreamConfig.hpp>

#include "manifest/CuePoint.hpp"
#include "manifest/ManifestParser.hpp"
#include "scheduling/TelvoraSchedulerBehaivour.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace telvora {

// Places the mid-rolls where the stream marks them (breaking-ads mode `cue`):
// the cue points that the manifest analysis finds in the latest media
// playlist. It counts nothing and remembers no break; every tick's event
// follows from the position and the latest cue-point list alone.
//
// Cue-point times and positions share one axis, seconds back from the end of
// the media playlist, so larger means earlier: a break runs from `timeStart`
// down to `timeEnd`, and lies ahead while the position is above `timeStart`.
// A cue point of type `endAdd` marks the end of a break at its `timeEnd`;
// every other type is a break.
//
// Per tick, once a list is known: one `stopAd` for each end marker on the
// position's whole second, then exactly one of `start` (the position is
// inside a break; the duration is what is left of it), `prepare` (a break
// begins within 15 seconds) or `wait` (for the break nearest ahead, 100000
// when none is). Breaks hold at most 1000 ads and use the mid-roll ad tag.
// Before the first list, ticks get no answer. A position or end-marker time
// that has no whole second (not finite, beyond 64 bits) matches no marker.
//
// create() installs the parser's `manifestParsed` (replacing any earlier
// handler); each call first reports the playlist's total duration through
// `totalManifestDuretionCalculeted`, then takes the list for the next tick.
// The handler holds the behaviour weakly and does nothing once it is gone.
// The behaviour holds the parser strongly. It is not suspended by a
// pre-roll: ignoreEvents() and adFinished() do nothing. Main queue only, for
// the ticks and the parser's reports alike.
class ManifestSchedulerBehaivour final
    : public TelvoraSchedulerBehaivour,
      public std::enable_shared_from_this<ManifestSchedulerBehaivour> {
  struct Token {};

 public:
  using TotalManifestDuretionCalculeted = std::function<void(double)>;

  // A null parser leaves the behaviour without cue points for good.
  static std::shared_ptr<ManifestSchedulerBehaivour> create(
      StreamConfig streamConfig, TimedEventHandler timedEventOccured,
      std::shared_ptr<ManifestParser> manifestParser,
      TotalManifestDuretionCalculeted totalManifestDuretionCalculeted);

  ManifestSchedulerBehaivour(Token, StreamConfig streamConfig, TimedEventHandler timedEventOccured,
                             std::shared_ptr<ManifestParser> manifestParser,
                             TotalManifestDuretionCalculeted totalManifestDuretionCalculeted);

  const TimedEventHandler& timedEventOccured() const override { return timedEventOccured_; }
  void setTimedEventOccured(TimedEventHandler timedEventOccured) override {
    timedEventOccured_ = std::move(timedEventOccured);
  }
  bool shouldIgnoreEvents() const override { return shouldIgnoreEvents_; }
  void setShouldIgnoreEvents(bool shouldIgnoreEvents) override {
    shouldIgnoreEvents_ = shouldIgnoreEvents;
  }

  void calculeteTimings(const PlaybackProgress& playbackProgress) override;
  void adFinished() override {}
  void ignoreEvents() override {}

  const StreamConfig& streamConfig() const { return streamConfig_; }
  // The cue points of the latest analysed media playlist; absent before it.
  const std::optional<std::vector<CuePoint>>& cuePoints() const { return cuePoints_; }
  const std::shared_ptr<ManifestParser>& manifestParser() const { return manifestParser_; }

 private:
  void manifestParsed(const std::vector<CuePoint>& cuePoints, double totalDuration);

  const StreamConfig streamConfig_;
  TimedEventHandler timedEventOccured_;
  TotalManifestDuretionCalculeted totalManifestDuretionCalculeted_;
  std::optional<std::vector<CuePoint>> cuePoints_;
  const std::shared_ptr<ManifestParser> manifestParser_;
  bool shouldIgnoreEvents_ = false;
};

}  // namespace telvora
