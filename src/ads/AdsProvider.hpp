#pragma once

#include <telvora/AdConfig.hpp>
#include <telvora/StreamConfig.hpp>
#include <telvora/TelvoraAVPlayer.hpp>
#include <telvora/VideoType.hpp>
#include <telvora/platform/AdSdk.hpp>
#include <telvora/platform/NotificationCenter.hpp>
#include <telvora/platform/RunLoop.hpp>

#include "ads/AdsProviderState.hpp"
#include "vast/VASTManager.hpp"

#include <functional>
#include <memory>
#include <optional>

namespace telvora {

class ViewsManager;

// Plays the ads of one break (a pod), one single-ad VAST document after
// another, through the video-ad SDK over the host's video view, and reports
// to the scheduler how far the break's supply and the break itself have got.
//
// The scheduler configures it before each break (the public fields below),
// hands it every batch of ads (addNewVast), asks it to show the break
// (showAds) and may end it (stopAllAds). During a break it picks, for the
// time left, the longest ad that fits, plays it with the content paused (on
// demand) or muted (live), shows the close button and, as the ad
// configuration says, the skip button with its countdown, and accounts for
// the ad when it ends, is skipped or fails to load; it goes on until time,
// allowed ads or the pool run out, then reports adsShowed.
//
// Everything runs on the main queue: the scheduler posts the loader's
// results there before calling addNewVast, the SDK calls back there, and the
// two notifications it observes (the app coming to the foreground, the
// content item failing) are moved there. Timers run on the main run loop and
// the ad's request time reads its clock. Create with create(); callbacks it
// hands out hold it weakly.
class AdsProvider : public AdsLoaderDelegate,
                    public AdsManagerDelegate,
                    public std::enable_shared_from_this<AdsProvider> {
  struct Token {};

 public:
  using Completion = std::function<void(ProviderResult)>;

  // `adSdk` plays the ads; null takes the reference SDK.
  static std::shared_ptr<AdsProvider> create(std::shared_ptr<TelvoraAVPlayer> telvoraAVPlayer,
                                             std::shared_ptr<AdSdk> adSdk = nullptr);
  AdsProvider(Token, std::shared_ptr<TelvoraAVPlayer> telvoraAVPlayer,
              std::shared_ptr<AdSdk> adSdk);
  ~AdsProvider() override;

  // Set by the scheduler before a break. The provider itself lowers
  // targetDuration and maxPods while it plays.
  std::weak_ptr<ViewsManager> viewsManager;
  Completion completion;
  std::optional<StreamConfig> streamConfig;
  std::optional<VideoType> videoType;
  std::optional<AdConfig> adCofig;
  double targetDuration = 0;  // seconds of the break still to fill
  std::int64_t maxPods = 0;   // ads the break may still play
  bool isPreroll = false;
  std::function<void()> closeCompletion;

  // Appends the ads to the pool, then checkAds().
  void addNewVast(const TelvoraVastList& ads);
  // Reports adsLoaded when the pool fills the break, stopAdsLoadingAfterSkip
  // after a skip that left less than the threshold, else notEnoughAds.
  void checkAds();
  // Starts the break, unless one is already in progress.
  void showAds();
  // Ends the break at once and reports adsShowed (also with no break).
  void stopAllAds();
  // Stops the skip tick and the current ad; reports nothing.
  void stop();

  // The break's steps: request the next ad or end the break; account for
  // the ad just shown and go on; end the break.
  void showAd();
  void showNextAd();
  void allAdsShowed();

  // The content volume around a live break; setVolume() also resumes
  // on-demand content, except right after a pre-roll.
  void saveVolume();
  void setVolume();

  // One tick of the skip countdown.
  void fireTimer();

  // For the scheduler and tests.
  bool adInProgress() const { return adInProgress_; }
  bool stopAds() const { return stopAds_; }
  bool skipActivated() const { return skipActivated_; }
  std::optional<float> oldVolume() const { return oldVolume_; }
  double playedTime() const { return playedTime_; }
  const VASTManager& vastManager() const { return vastManager_; }
  const std::shared_ptr<AdsManager>& adsManager() const { return adsManager_; }

  // Video-ad SDK callbacks.
  void adsLoaderDidLoad(AdsLoader& loader, const AdsLoadedData& data) override;
  void adsLoaderDidFail(AdsLoader& loader, const AdError& error) override;
  void adsManagerDidReceiveAdEvent(AdsManager& manager, const AdEvent& event) override;
  void adsManagerDidReceiveAdError(AdsManager& manager, const AdError& error) override;
  void adsManagerDidRequestContentPause(AdsManager& manager) override;
  void adsManagerDidRequestContentResume(AdsManager& manager) override;

 private:
  void start();  // what create() finishes after construction
  bool cueMode() const;
  std::int64_t remainingThreshold() const;
  void report(ProviderResult result);
  void requestAd();
  void adStarted(AdsManager& manager);
  void addSkipView();
  void addCloseView();
  void skip();
  void close();
  void appMovedToBackground();
  void playerItemFailedToPlay(const Notification& notification);
  std::shared_ptr<ViewsManager> views() const { return viewsManager.lock(); }
  std::shared_ptr<ContentPlayer> contentPlayer() const;
  AdConfig::SkipDisplay displayMode() const;
  std::optional<float> skipTime() const;

  std::shared_ptr<TelvoraAVPlayer> telvoraAVPlayer_;
  std::shared_ptr<AdSdk> adSdk_;
  AdsRenderingSettings adsRenderingSettings_;
  std::shared_ptr<AdsLoader> adsLoader_;
  std::shared_ptr<AdsManager> adsManager_;
  std::optional<float> oldVolume_;
  double playedTime_ = 0;
  bool stopAds_ = false;
  bool adInProgress_ = false;
  ClockDuration startDate_{};
  Timer skipTimer_;
  VASTManager vastManager_;
  bool skipActivated_ = false;
  NotificationCenter::Observation foregroundObservation_;
  NotificationCenter::Observation failureObservation_;
};

}  // namespace telvora
