#pragma once

#include <telvora/platform/AdDisplayContainer.hpp>
#include <telvora/platform/AdsManager.hpp>
#include <telvora/platform/Clock.hpp>
#include <telvora/platform/RunLoop.hpp>

#include "platform/adsdk/Tracker.hpp"
#include "platform/adsdk/VastDocument.hpp"

#include <cstddef>
#include <memory>
#include <string>

namespace telvora {

class AdView;
class HttpClient;

// The reference SDK's ads manager: "plays" one inline ad on the main run
// loop's clock, without decoding any media, and reports and tracks it as a
// real player would.
//
// After initialize(): `loaded`. After start(), in one task: content pause
// requested, the ad's view (AdView) added on top of the container's view,
// the impression and start URLs fired, `started`; then, at a quarter, half
// and three quarters of the ad's Duration of playing time, firstQuartile,
// midpoint and thirdQuartile; at the Duration, `complete`, the view taken
// away, `allAdsCompleted`, content resume requested. Each event fires its
// tracking URLs just before it is reported. pause() freezes the playing time
// and fires the pause URLs, resume() lets it run again and fires the resume
// URLs. destroy() of a showing ad fires its close URLs.
//
// Made by ReferenceAdsLoader; main queue only. Dropping the manager without
// destroy() also takes its view away, but fires nothing.
class ReferenceAdsManager final : public AdsManager,
                                  public std::enable_shared_from_this<ReferenceAdsManager> {
 public:
  ReferenceAdsManager(VastDocument ad, std::shared_ptr<AdDisplayContainer> container,
                      std::shared_ptr<ContentPlayhead> playhead, std::shared_ptr<HttpClient> http);
  ~ReferenceAdsManager() override;

  void setDelegate(std::weak_ptr<AdsManagerDelegate> delegate) override;
  void initialize(const AdsRenderingSettings& settings) override;
  void start() override;
  void pause() override;
  void resume() override;
  void destroy() override;
  AdPlaybackInfo adPlaybackInfo() const override;

 private:
  enum class State { created, loaded, starting, playing, paused, ended, destroyed };

  ClockDuration played() const;
  ClockDuration milestone(std::size_t index) const;
  // Runs `step` on the main queue later, unless the manager is gone by then.
  void post(void (ReferenceAdsManager::*step)());
  template <class Call>
  void tell(Call&& call);
  void report(AdEventKind kind);
  void reportLoaded() { report(AdEventKind::loaded); }
  void reportPaused() { report(AdEventKind::paused); }
  void reportResumed() { report(AdEventKind::resumed); }
  void show();
  void scheduleNextMilestone();
  void reachMilestones();
  void end();
  void removeView();

  VastDocument ad_;
  std::shared_ptr<AdDisplayContainer> container_;
  Tracker tracker_;
  std::weak_ptr<AdsManagerDelegate> delegate_;
  std::string mediaFileURL_;
  std::shared_ptr<AdView> view_;
  State state_ = State::created;
  ClockDuration total_;
  ClockDuration playedBefore_{};       // playing time up to the current stretch
  ClockDuration stretchStart_{};       // clock time the current stretch of playing began
  std::size_t milestonesReached_ = 0;  // of the four quarter points
  Timer timer_;
};

}  // namespace telvora
