#pragma once

namespace telvora {

// One playback tick, as the playback observation hands it to the scheduler
// and the scheduler hands it to its behaviour.
//
// `position` is the content position in seconds: the playback time for
// on-demand content, the playhead's distance from the end of the media
// playlist for live content. `pollingDelay` is the observation interval in
// force when the tick was taken (1.0 slow, 0.05 fast); the behaviours that
// count played time use it for ticks where the position went backwards.
//
// A tick is never changed once taken, so the values are read-only; the whole
// value can still be replaced, which is how the scheduler stores the latest
// one. The scheduler starts from position 0 and polling delay 0.
class PlaybackProgress {
 public:
  constexpr PlaybackProgress() = default;
  constexpr PlaybackProgress(double position, double pollingDelay)
      : position_(position), pollingDelay_(pollingDelay) {}

  constexpr double position() const { return position_; }
  constexpr double pollingDelay() const { return pollingDelay_; }

  friend constexpr bool operator==(const PlaybackProgress&, const PlaybackProgress&) = default;

 private:
  double position_ = 0;
  double pollingDelay_ = 0;
};

}  // namespace telvora
