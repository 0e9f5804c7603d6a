#pragma once

#include <telvora/platform/AdError.hpp>
#include <telvora/platform/AdEvent.hpp>

#include <memory>
#include <string>
#include <vector>

namespace telvora {

class AdsManager;

// How the ads manager should render. Made once per ad player with its
// defaults and handed to every manager it initialises.
struct AdsRenderingSettings {
  // Media types to prefer, best first ("video/mp4"). Empty: the ad's first
  // media file.
  std::vector<std::string> mimeTypes;
};

// Where the running ad is, in seconds.
struct AdPlaybackInfo {
  double currentMediaTime = 0;
  double totalMediaTime = 0;
};

// Told by an ads manager what its ad does. Called on the main queue, never
// from inside a call made on the manager: each report is a task of its own.
// A delegate may call any method of the manager, destroy() included, from
// inside a report; after destroy() it gets no further report of that ad.
class AdsManagerDelegate {
 public:
  virtual ~AdsManagerDelegate() = default;

  virtual void adsManagerDidReceiveAdEvent(AdsManager& manager, const AdEvent& event) = 0;
  virtual void adsManagerDidReceiveAdError(AdsManager& manager, const AdError& error) = 0;
  // Before the ad shows: the content should pause (or be muted).
  virtual void adsManagerDidRequestContentPause(AdsManager& manager) = 0;
  // After the ad: the content may go on.
  virtual void adsManagerDidRequestContentResume(AdsManager& manager) = 0;
};

// Plays one loaded ad over its display container. Handed out by an ads
// loader (AdsLoadedData); the ad player holds it by std::shared_ptr.
//
// Calling order: setDelegate(), initialize(), then start() once the delegate
// has seen the `loaded` event. start() before initialize(), or either of them
// a second time, does nothing. pause() and resume() act only on a playing or
// a paused ad. destroy() stops the ad, takes its view out of the container,
// and silences the manager: no event or error of that ad follows, not even
// one already on its way; every call after it does nothing.
//
// Main queue only.
class AdsManager {
 public:
  virtual ~AdsManager() = default;

  // Held weakly: the manager never keeps its delegate alive and reports
  // nothing once it is gone.
  virtual void setDelegate(std::weak_ptr<AdsManagerDelegate> delegate) = 0;
  virtual void initialize(const AdsRenderingSettings& settings) = 0;
  virtual void start() = 0;
  virtual void pause() = 0;
  virtual void resume() = 0;
  virtual void destroy() = 0;

  // currentMediaTime follows the ad's playing time: zero before it starts,
  // still while it is paused, and after it ends or is destroyed the time it
  // had reached. totalMediaTime is the ad's duration (zero where the SDK
  // does not know it yet).
  virtual AdPlaybackInfo adPlaybackInfo() const = 0;
};

}  // namespace telvora
