#pragma once

#include <telvora/platform/ContentPlayer.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <map>
#include <string>
#include <vector>

namespace telvora::test {

// The item of a FakeContentPlayer: its ranges and playhead are whatever the
// test sets.
class FakePlayerItem final : public PlayerItem {
 public:
  std::vector<TimeRange> ranges;
  double time = 0;

  std::vector<TimeRange> seekableTimeRanges() const override { return ranges; }
  double currentTime() const override { return time; }
};

// A content player for tests: it records what it is asked to do, runs its
// periodic observers on repeating timers of the queue they were added on
// (so a manual clock drives them) and tells rate observers about every rate
// change.
class FakeContentPlayer final : public ContentPlayer {
 public:
  std::shared_ptr<FakePlayerItem> item;  // what currentItem() answers
  std::vector<std::string> calls;        // "pause", "play", "volume 0.5", ...

  TimeObserverToken addPeriodicTimeObserver(MediaTime interval, RunLoop& queue,
                                            TimeObserverBlock block) override;
  void removeTimeObserver(TimeObserverToken token) override;
  std::size_t timeObserverCount() const { return timeObservers_.size(); }
  // The interval of each observer still registered, in registration order.
  std::vector<MediaTime> observerIntervals() const;

  std::shared_ptr<PlayerItem> currentItem() const override { return item; }

  void pause() override;
  void play() override;
  float volume() const override { return volume_; }
  void setVolume(float volume) override;
  float rate() const override { return rate_; }
  void setRate(float rate);  // as a real player does when playback starts or stalls

  RateObserverToken addRateObserver(RateObserverBlock block) override;
  void removeRateObserver(RateObserverToken token) override;

 private:
  struct TimeObserver {
    MediaTime interval;
    Timer timer;
  };
  std::uint64_t lastToken_ = 0;
  std::map<std::uint64_t, TimeObserver> timeObservers_;
  std::map<std::uint64_t, RateObserverBlock> rateObservers_;
  float volume_ = 1;
  float rate_ = 0;
};

}  // namespace telvora::test
