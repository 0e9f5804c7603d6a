#include "platform/adsdk/ReferenceAdsManager.hpp"

#include "platform/adsdk/AdView.hpp"
#include "platform/runloop/MainQueue.hpp"

#include <algorithm>
#include <cctype>

namespace telvora {
namespace {

constexpr std::size_t kMilestones = 4;
constexpr AdEventKind kMilestoneEvents[kMilestones] = {
    AdEventKind::firstQuartile, AdEventKind::midpoint, AdEventKind::thirdQuartile,
    AdEventKind::complete};
constexpr VastTrackingEvent kMilestoneTracking[kMilestones] = {
    VastTrackingEvent::firstQuartile, VastTrackingEvent::midpoint, VastTrackingEvent::thirdQuartile,
    VastTrackingEvent::complete};

bool sameMimeType(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The first media file of the most preferred type; the ad's first media file
// when no type is preferred or none matches.
std::string chooseMediaFile(const VastDocument& ad, const AdsRenderingSettings& settings) {
  for (const std::string& type : settings.mimeTypes) {
    for (const VastMediaFile& file : ad.mediaFiles) {
      if (sameMimeType(file.type, type)) return file.url;
    }
  }
  return ad.mediaFiles.empty() ? std::string() : ad.mediaFiles.front().url;
}

}  // namespace

ReferenceAdsManager::ReferenceAdsManager(VastDocument ad,
                                         std::shared_ptr<AdDisplayContainer> container,
                                         std::shared_ptr<ContentPlayhead> playhead,
                                         std::shared_ptr<HttpClient> http)
    : ad_(std::move(ad)),
      container_(std::move(container)),
      tracker_(std::move(http), std::move(playhead)),
      total_(fromSeconds(ad_.duration)) {}

ReferenceAdsManager::~ReferenceAdsManager() {
  removeView();
}

void ReferenceAdsManager::setDelegate(std::weak_ptr<AdsManagerDelegate> delegate) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (state_ != State::destroyed) delegate_ = std::move(delegate);
}

void ReferenceAdsManager::initialize(const AdsRenderingSettings& settings) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (state_ != State::created) return;
  mediaFileURL_ = chooseMediaFile(ad_, settings);
  state_ = State::loaded;
  post(&ReferenceAdsManager::reportLoaded);
}

void ReferenceAdsManager::start() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (state_ != State::loaded) return;
  state_ = State::starting;
  post(&ReferenceAdsManager::show);
}

void ReferenceAdsManager::pause() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (state_ != State::playing) return;
  playedBefore_ = played();
  state_ = State::paused;
  timer_.invalidate();
  tracker_.fire(ad_.trackingFor(VastTrackingEvent::pause));
  post(&ReferenceAdsManager::reportPaused);
}

void ReferenceAdsManager::resume() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (state_ != State::paused) return;
  stretchStart_ = RunLoop::main().now();
  state_ = State::playing;
  tracker_.fire(ad_.trackingFor(VastTrackingEvent::resume));
  post(&ReferenceAdsManager::reportResumed);
  scheduleNextMilestone();
}

void ReferenceAdsManager::destroy() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (state_ == State::destroyed) return;
  if (state_ == State::playing || state_ == State::paused) {
    tracker_.fire(ad_.trackingFor(VastTrackingEvent::close));
  }
  playedBefore_ = played();
  state_ = State::destroyed;
  timer_.invalidate();
  delegate_.reset();
  removeView();
}

AdPlaybackInfo ReferenceAdsManager::adPlaybackInfo() const {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  const ClockDuration time = played();
  return {time >= total_ ? ad_.duration : toSeconds(time), ad_.duration};
}

ClockDuration ReferenceAdsManager::played() const {
  if (state_ != State::playing) return playedBefore_;
  return std::min(total_, playedBefore_ + (RunLoop::main().now() - stretchStart_));
}

ClockDuration ReferenceAdsManager::milestone(std::size_t index) const {
  return total_ * static_cast<ClockDuration::rep>(index + 1) /
         static_cast<ClockDuration::rep>(kMilestones);
}

void ReferenceAdsManager::post(void (ReferenceAdsManager::*step)()) {
  RunLoop::main().async([weak = weak_from_this(), step] {
    if (const std::shared_ptr<ReferenceAdsManager> self = weak.lock()) ((*self).*step)();
  });
}

// Callers hold a strong reference to the manager: a delegate may drop its
// last one from inside the call.
template <class Call>
void ReferenceAdsManager::tell(Call&& call) {
  if (state_ == State::destroyed) return;
  if (const std::shared_ptr<AdsManagerDelegate> delegate = delegate_.lock()) call(*delegate);
}

void ReferenceAdsManager::report(AdEventKind kind) {
  tell([&](AdsManagerDelegate& delegate) {
    delegate.adsManagerDidReceiveAdEvent(*this, AdEvent{kind});
  });
}

void ReferenceAdsManager::show() {
  if (state_ != State::starting) return;
  tell([&](AdsManagerDelegate& delegate) { delegate.adsManagerDidRequestContentPause(*this); });
  if (state_ != State::starting) return;
  if (const std::shared_ptr<View> parent = container_ ? container_->adContainer() : nullptr) {
    view_ = std::make_shared<AdView>(Rect{0, 0, parent->frame.width, parent->frame.height},
                                     mediaFileURL_);
    parent->addSubview(view_);
  }
  stretchStart_ = RunLoop::main().now();
  state_ = State::playing;
  tracker_.fire(ad_.impressions);
  tracker_.fire(ad_.trackingFor(VastTrackingEvent::start));
  report(AdEventKind::started);
  if (state_ == State::playing) scheduleNextMilestone();
}

void ReferenceAdsManager::scheduleNextMilestone() {
  if (milestonesReached_ >= kMilestones) return;
  const ClockDuration due =
      std::max(ClockDuration::zero(), milestone(milestonesReached_) - played());
  timer_ = RunLoop::main().scheduleTimer(due, false, [weak = weak_from_this()] {
    if (const std::shared_ptr<ReferenceAdsManager> self = weak.lock()) self->reachMilestones();
  });
}

void ReferenceAdsManager::reachMilestones() {
  while (state_ == State::playing && milestonesReached_ < kMilestones &&
         played() >= milestone(milestonesReached_)) {
    const std::size_t index = milestonesReached_++;
    tracker_.fire(ad_.trackingFor(kMilestoneTracking[index]));
    report(kMilestoneEvents[index]);
    if (index + 1 == kMilestones) {
      end();
      return;
    }
  }
  if (state_ == State::playing) scheduleNextMilestone();
}

// Also from a pause made inside the `complete` report: the ad is over.
void ReferenceAdsManager::end() {
  if (state_ != State::playing && state_ != State::paused) return;
  playedBefore_ = total_;
  state_ = State::ended;
  removeView();
  report(AdEventKind::allAdsCompleted);
  tell([&](AdsManagerDelegate& delegate) { delegate.adsManagerDidRequestContentResume(*this); });
}

void ReferenceAdsManager::removeView() {
  if (!view_) return;
  view_->removeFromSuperview();
  view_.reset();
}

}  // namespace telvora
