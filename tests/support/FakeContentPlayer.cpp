#include "support/FakeContentPlayer.hpp"

namespace telvora::test {

ContentPlayer::TimeObserverToken FakeContentPlayer::addPeriodicTimeObserver(
    MediaTime interval, RunLoop& queue, TimeObserverBlock block) {
  const std::uint64_t id = ++lastToken_;
  Timer timer = queue.scheduleTimer(
      fromSeconds(interval.seconds()), true,
      [this, block = std::move(block)] { block(item ? item->currentTime() : 0.0); });
  timeObservers_.emplace(id, TimeObserver{interval, std::move(timer)});
  return TimeObserverToken{id};
}

void FakeContentPlayer::removeTimeObserver(TimeObserverToken token) {
  calls.push_back("removeTimeObserver " + std::to_string(token.id));
  timeObservers_.erase(token.id);
}

std::vector<MediaTime> FakeContentPlayer::observerIntervals() const {
  std::vector<MediaTime> intervals;
  for (const auto& [id, observer] : timeObservers_)
    intervals.push_back(observer.interval);
  return intervals;
}

void FakeContentPlayer::pause() {
  calls.push_back("pause");
  setRate(0);
}

void FakeContentPlayer::play() {
  calls.push_back("play");
  setRate(1);
}

void FakeContentPlayer::setVolume(float volume) {
  calls.push_back("volume " + std::to_string(volume));
  volume_ = volume;
}

void FakeContentPlayer::setRate(float rate) {
  if (rate == rate_) return;
  const float old = rate_;
  rate_ = rate;
  const auto observers = rateObservers_;  // an observer may remove itself
  for (const auto& [id, block] : observers)
    block(old, rate);
}

ContentPlayer::RateObserverToken FakeContentPlayer::addRateObserver(RateObserverBlock block) {
  const std::uint64_t id = ++lastToken_;
  rateObservers_.emplace(id, std::move(block));
  return RateObserverToken{id};
}

void FakeContentPlayer::removeRateObserver(RateObserverToken token) {
  rateObservers_.erase(token.id);
}

}  // namespace telvora::test
