#include "ads/AdsProvider.hpp"

#include <telvora/TelvoraLogs.hpp>
#include <telvora/platform/AdDisplayContainer.hpp>
#include <telvora/platform/Application.hpp>
#include <telvora/platform/ContentPlayhead.hpp>

#include "platform/adsdk/ReferenceAdSdk.hpp"
#include "platform/runloop/MainQueue.hpp"
#include "views/ViewsManager.hpp"

#include <cmath>
#include <limits>

namespace telvora {
namespace {

constexpr double kInitialTimerSeconds = 10000;
constexpr double kSkipTickSeconds = 0.1;
constexpr std::int64_t kDefaultThreshold = 3;
constexpr double kShortestBreakSeconds = 3.0;
// Added to the time left once per ad, so rounding never makes an ad that
// just fits end the break early.
constexpr double kPerAdAllowance = 0.01;

// A float of seconds as a whole number, rounded up or toward zero, clamped
// into 64 bits (NaN gives 0).
std::int64_t wholeSeconds(float seconds, bool roundUp) {
  const float whole = roundUp ? std::ceil(seconds) : std::trunc(seconds);
  if (!(whole == whole)) return 0;
  if (whole >= 9.2e18f) return std::numeric_limits<std::int64_t>::max();
  if (whole <= -9.2e18f) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(whole);
}

}  // namespace

std::shared_ptr<AdsProvider> AdsProvider::create(std::shared_ptr<TelvoraAVPlayer> telvoraAVPlayer,
                                                 std::shared_ptr<AdSdk> adSdk) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  if (!adSdk) adSdk = std::make_shared<ReferenceAdSdk>();
  auto provider =
      std::make_shared<AdsProvider>(Token{}, std::move(telvoraAVPlayer), std::move(adSdk));
  provider->start();
  return provider;
}

AdsProvider::AdsProvider(Token, std::shared_ptr<TelvoraAVPlayer> telvoraAVPlayer,
                         std::shared_ptr<AdSdk> adSdk)
    : telvoraAVPlayer_(std::move(telvoraAVPlayer)),
      adSdk_(std::move(adSdk)),
      startDate_(RunLoop::main().now()) {}

AdsProvider::~AdsProvider() {
  // An ad left playing would stay over the content with no one to end it.
  if (adsManager_) adsManager_->destroy();
}

void AdsProvider::start() {
  const std::weak_ptr<AdsProvider> weak = weak_from_this();
  skipTimer_ = RunLoop::main().scheduleTimer(fromSeconds(kInitialTimerSeconds), false, [weak] {
    if (auto self = weak.lock()) self->fireTimer();
  });
  adsLoader_ = adSdk_->makeAdsLoader(AdsSettings{});
  // Posters may be on any thread; the provider lives on the main queue.
  NotificationCenter& center = NotificationCenter::defaultCenter();
  foregroundObservation_ = center.addObserver(
      std::string(Application::willEnterForegroundNotification), [weak](const Notification&) {
        RunLoop::main().async([weak] {
          if (auto self = weak.lock()) self->appMovedToBackground();
        });
      });
  failureObservation_ =
      center.addObserver(std::string(ContentPlayer::failedToPlayToEndTimeNotification),
                         [weak](const Notification& notification) {
                           RunLoop::main().async([weak, notification] {
                             if (auto self = weak.lock())
                               self->playerItemFailedToPlay(notification);
                           });
                         });
}

bool AdsProvider::cueMode() const {
  return streamConfig && streamConfig->breakingAdsMode == StreamConfig::Mode::cue;
}

std::int64_t AdsProvider::remainingThreshold() const {
  if (streamConfig && streamConfig->stopFetchingAdsBellowXRemainingSec)
    return *streamConfig->stopFetchingAdsBellowXRemainingSec;
  return kDefaultThreshold;
}

void AdsProvider::report(ProviderResult result) {
  if (completion) completion(std::move(result));
}

std::shared_ptr<ContentPlayer> AdsProvider::contentPlayer() const {
  return telvoraAVPlayer_ ? telvoraAVPlayer_->contentPlayer : nullptr;
}

AdConfig::SkipDisplay AdsProvider::displayMode() const {
  if (adCofig && adCofig->skipDisplay) return *adCofig->skipDisplay;
  return AdConfig::SkipDisplay::countDownBeforeShow;
}

std::optional<float> AdsProvider::skipTime() const {
  return adCofig ? adCofig->skipTimer : std::nullopt;
}

// ---- Supply ----

void AdsProvider::addNewVast(const TelvoraVastList& ads) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  vastManager_.append(ads);
  checkAds();
}

void AdsProvider::checkAds() {
  const std::int64_t poolDuration = vastManager_.calculeVastDuration();
  const auto poolCount = static_cast<std::int64_t>(vastManager_.telvoraVast().size());
  const std::int64_t threshold = remainingThreshold();
  if (static_cast<double>(poolDuration) > targetDuration || poolCount >= maxPods) {
    report(ProviderResult::success(AdsProviderState::adsLoaded()));
  } else if (skipActivated_ && targetDuration < static_cast<double>(threshold)) {
    report(ProviderResult::success(AdsProviderState::stopAdsLoadingAfterSkip(threshold)));
  } else {
    report(ProviderResult::failure(
        ProviderError::notEnoughAds(poolCount, static_cast<double>(poolDuration))));
  }
}

// ---- The break ----

void AdsProvider::showAds() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  stopAds_ = false;
  skipActivated_ = false;
  if (adInProgress_) return;
  adInProgress_ = true;
  saveVolume();
  showAd();
}

void AdsProvider::showAd() {
  if (stopAds_) return;
  skipTimer_.invalidate();
  vastManager_.sortLongestFirst();
  vastManager_.findBest(targetDuration);
  const auto threshold = static_cast<double>(remainingThreshold());
  const TelvoraVastList& pool = vastManager_.telvoraVast();
  // A negative ad limit (a configuration of -1) allows no ad, like 0.
  const bool noAdsLeft = maxPods <= 0;

  if (pool.empty()) {
    if (cueMode() && targetDuration < threshold) {
      allAdsShowed();
    } else if (targetDuration < kShortestBreakSeconds || noAdsLeft) {
      allAdsShowed();
    } else {
      report(ProviderResult::failure(ProviderError::notEnoughAds(0, 0.0)));
    }
    return;
  }
  if (cueMode()) {
    if (targetDuration < kShortestBreakSeconds) return allAdsShowed();
  } else if (noAdsLeft || static_cast<double>(pool.front()->duration()) >= targetDuration) {
    // Only an ad strictly shorter than the time left is played.
    return allAdsShowed();
  }

  startDate_ = RunLoop::main().now();
  RunLoop::main().async([weak = weak_from_this()] {
    if (auto self = weak.lock()) self->requestAd();
  });
}

void AdsProvider::requestAd() {
  AdsRequest request;
  request.adsResponse = vastManager_.getBestVast();
  request.adDisplayContainer = std::make_shared<AdDisplayContainer>(
      telvoraAVPlayer_ ? telvoraAVPlayer_->videoView : nullptr);
  request.contentPlayhead = std::make_shared<ContentPlayhead>(contentPlayer());
  adsLoader_->setDelegate(std::weak_ptr<AdsLoaderDelegate>(shared_from_this()));
  adsLoader_->requestAds(std::move(request));
}

void AdsProvider::showNextAd() {
  skipTimer_.invalidate();
  if (auto views = this->views()) views->removeSkipView();
  if (adsManager_) adsManager_->destroy();
  --maxPods;
  const TelvoraVastList& pool = vastManager_.telvoraVast();
  if (cueMode()) {
    playedTime_ = toSeconds(RunLoop::main().now() - startDate_);
    targetDuration -= playedTime_;
  } else if (!pool.empty()) {
    targetDuration =
        targetDuration - static_cast<double>(pool.front()->duration()) + kPerAdAllowance;
  }
  vastManager_.removeFirst();
  showAd();
}

void AdsProvider::allAdsShowed() {
  adInProgress_ = false;
  setVolume();
  report(ProviderResult::success(AdsProviderState::adsShowed()));
  if (auto views = this->views()) views->removeCloseView();
}

void AdsProvider::stopAllAds() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  adInProgress_ = false;
  stopAds_ = true;
  skipTimer_.invalidate();
  if (auto views = this->views()) views->removeSkipView();
  if (adsManager_) adsManager_->destroy();
  vastManager_.removeFirst();
  allAdsShowed();
}

void AdsProvider::stop() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  skipTimer_.invalidate();
  if (adsManager_) adsManager_->destroy();
}

// ---- SDK callbacks ----

void AdsProvider::adsLoaderDidLoad(AdsLoader&, const AdsLoadedData& data) {
  if (!data.adsManager) return;
  // An answer for a break that has ended meanwhile must not start an ad over
  // the content.
  if (!adInProgress_ || stopAds_) {
    data.adsManager->destroy();
    return;
  }
  adsManager_ = data.adsManager;
  adsManager_->setDelegate(std::weak_ptr<AdsManagerDelegate>(shared_from_this()));
  adsManager_->initialize(adsRenderingSettings_);
}

void AdsProvider::adsLoaderDidFail(AdsLoader&, const AdError&) {
  if (!adInProgress_ || stopAds_) return;  // the break has ended meanwhile
  showNextAd();                            // the failed ad counts as shown
}

void AdsProvider::adsManagerDidReceiveAdEvent(AdsManager& manager, const AdEvent& event) {
  if (&manager != adsManager_.get()) return;  // a manager already replaced
  switch (event.kind) {
    case AdEventKind::loaded:
      manager.start();
      break;
    case AdEventKind::started:
      adStarted(manager);
      break;
    case AdEventKind::allAdsCompleted:
      showNextAd();
      break;
    default:
      break;
  }
}

void AdsProvider::adsManagerDidReceiveAdError(AdsManager&, const AdError&) {
  if (auto player = contentPlayer()) player->play();
}

void AdsProvider::adsManagerDidRequestContentPause(AdsManager&) {
  if (videoType != VideoType::vod) return;  // live content plays on, muted
  if (auto player = contentPlayer()) player->pause();
}

void AdsProvider::adsManagerDidRequestContentResume(AdsManager&) {}

// ---- Controls ----

void AdsProvider::adStarted(AdsManager& manager) {
  addCloseView();
  const std::optional<float> skip = skipTime();
  if (!skip) return;
  const bool allowed = adCofig && adCofig->skip.value_or(false);
  if (!allowed || !(static_cast<float>(manager.adPlaybackInfo().totalMediaTime) > *skip)) return;

  const AdConfig::SkipDisplay mode = displayMode();
  RunLoop::main().async([weak = weak_from_this(), started = adsManager_] {
    auto self = weak.lock();
    // Not for an ad that has ended or been replaced meanwhile.
    if (!self || self->adsManager_ != started || !self->adInProgress_) return;
    self->skipTimer_ = RunLoop::main().scheduleTimer(fromSeconds(kSkipTickSeconds), true, [weak] {
      if (auto provider = weak.lock()) provider->fireTimer();
    });
  });
  if (mode != AdConfig::SkipDisplay::hideBeforeShow) addSkipView();
}

void AdsProvider::fireTimer() {
  const AdConfig::SkipDisplay mode = displayMode();
  const std::optional<float> skip = skipTime();
  if (!skip) return;
  const double current = adsManager_ ? adsManager_->adPlaybackInfo().currentMediaTime : 0;
  const float remaining = *skip - static_cast<float>(current);
  switch (mode) {
    case AdConfig::SkipDisplay::hideBeforeShow:
      if (remaining <= 0) {
        addSkipView();
        skipTimer_.invalidate();
      }
      break;
    case AdConfig::SkipDisplay::greyBeforeShow:
      if (remaining <= 0) {
        if (auto views = this->views()) views->unblockSkipViewGreyStyle();
        skipTimer_.invalidate();
      }
      break;
    case AdConfig::SkipDisplay::countDownBeforeShow: {
      const std::int64_t left = wholeSeconds(remaining, true);
      if (auto views = this->views()) views->updeteCounDounTime(left);
      if (left <= 0) skipTimer_.invalidate();
      break;
    }
  }
}

void AdsProvider::addSkipView() {
  auto views = this->views();
  if (!telvoraAVPlayer_ || !views) return;
  const std::int64_t counDouwnTime = wholeSeconds(skipTime().value_or(0), false);
  std::string text = adCofig && adCofig->skipText ? *adCofig->skipText : "Skip ad";
  views->addSkipView(telvoraAVPlayer_, displayMode(), counDouwnTime, std::move(text),
                     [weak = weak_from_this()] {
                       if (auto self = weak.lock()) self->skip();
                     });
}

void AdsProvider::skip() {
  showNextAd();
  checkAds();
  skipActivated_ = true;
  if (auto views = this->views()) views->removeSkipView();
}

void AdsProvider::addCloseView() {
  if (!closeCompletion || !telvoraAVPlayer_) return;
  if (auto views = this->views()) {
    views->addCloseView(telvoraAVPlayer_->videoView, [weak = weak_from_this()] {
      if (auto self = weak.lock()) self->close();
    });
  }
}

void AdsProvider::close() {
  if (adsManager_) adsManager_->destroy();
  if (closeCompletion) closeCompletion();
}

void AdsProvider::saveVolume() {
  if (videoType != VideoType::live || oldVolume_) return;
  if (auto player = contentPlayer()) {
    oldVolume_ = player->volume();
    player->setVolume(0);
  }
}

void AdsProvider::setVolume() {
  if (isPreroll) {
    isPreroll = false;
    return;
  }
  auto player = contentPlayer();
  if (oldVolume_ && videoType == VideoType::live) {
    const float volume = *oldVolume_;
    oldVolume_.reset();
    if (player) player->setVolume(volume);
    return;
  }
  if (videoType == VideoType::vod && player) player->play();
}

void AdsProvider::appMovedToBackground() {
  if (adsManager_) adsManager_->resume();
}

void AdsProvider::playerItemFailedToPlay(const Notification& notification) {
  std::optional<std::string> description;
  const auto found = notification.userInfo.find(ContentPlayer::failedToPlayToEndTimeErrorKey);
  if (found != notification.userInfo.end()) {
    if (const auto* text = std::any_cast<std::string>(&found->second)) description = *text;
  }
  TelvoraLogs::shared()->setInternetError(description);
}

}  // namespace telvora
