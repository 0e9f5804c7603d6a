#pragma once

#include <telvora/Config.hpp>
#include <telvora/ConfigProvider.hpp>
#include <telvora/ObservationType.hpp>
#include <telvora/Result.hpp>
#include <telvora/SDKConfig.hpp>
#include <telvora/TelvoraAVPlayer.hpp>
#include <telvora/VideoType.hpp>
#include <telvora/platform/ContentPlayer.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace telvora {

struct TelvoraSessionTestPeer;
struct BehaviourChoice;
class ManifestParser;
class TelvoraSchedulerBehaivour;

// The one object a host app drives to put ads into its content.
//
// The app creates it with its identity and a close callback, asks it to
// prepare the content URL, plays the URL it gets back in its own player and
// hands the session that player and its video view:
//
//   auto session = TelvoraSession::create(sdkConfig, [] { /* ad closed */ });
//   session->prepareURL("https://cdn.example.com/live.m3u8", [&](auto result) {
//     if (result) player->load(result.value());
//   });
//
// Threading: every public operation is called on the main queue
// (RunLoop::main()), and every completion is delivered there. Work that
// finishes on other threads (configuration downloads, file loads) is posted
// to the main queue before it touches the session, so the session needs no
// lock. Always held by std::shared_ptr; callbacks it installs elsewhere hold
// it weakly, except the two completions of prepareURL and setConfigURL, which
// keep it alive until they have run.
class TelvoraSession : public std::enable_shared_from_this<TelvoraSession> {
 public:
  enum class SessionError {
    noConfigProvided,   // the identity has neither a configuration URL nor object
    invalidContentURL,  // the content URL (or its rewrite) is not a URL
  };
  // What prepareURL can fail with: a session error, or the loader's error
  // when the configuration could not be obtained.
  using Error = std::variant<SessionError, ConfigProvider::Error>;
  using URLResult = Result<std::string, Error>;
  using ConfigResult = Result<std::shared_ptr<Config>, Error>;

  // The name of the notification the debug record posts on every change.
  static constexpr std::string_view updeteDebugInfo = "updeteDebugInfo";

  static std::shared_ptr<TelvoraSession> create(SDKConfig sdkConfig,
                                                std::function<void()> closeCompletion);

  // Obtains the configuration (downloaded from sdkConfig.configURL, else the
  // identity's adsConfig completed from its defaults) and delivers, on the
  // main queue and always after this call has returned, the URL the app must
  // play instead of `videoURL`, or the error that stopped it.
  void prepareURL(std::string videoURL, std::function<void(URLResult)> completion);

  // Installs `config` as it is (not completed from its defaults) and sets up
  // the behaviour for it.
  void setConfig(std::shared_ptr<Config> config);
  // Downloads the configuration from this base URL and, on success, installs
  // it and sets up the behaviour. A failure is dropped; the configuration in
  // force stays.
  void setConfigURL(std::string configURL);
  void setConsentString(std::string consentString);

  // The host's content player and video view. Set it before the player loads
  // the URL prepareURL delivered.
  std::shared_ptr<TelvoraAVPlayer> player;

  const SDKConfig& sdkConfig() const { return sdkConfig_; }
  // The configuration in force; null until one is obtained.
  std::shared_ptr<Config> config() const { return config_; }

  // The authority the content URL is rewritten to: the local proxy's.
  void setProxyAuthority(std::string authority) { proxyAuthority_ = std::move(authority); }

  static std::string_view describe(const Error& error);

 private:
  struct Token {};

 public:
  TelvoraSession(Token, SDKConfig sdkConfig, std::function<void()> closeCompletion);

 private:
  friend struct TelvoraSessionTestPeer;

  void getStreamConfig(std::function<void(ConfigResult)> completion);
  void downloadStreamConfig(const std::string& url, std::function<void(ConfigResult)> completion);
  void setUpBehaviur();
  void setVideoType(std::optional<VideoType> videoType);

  SDKConfig sdkConfig_;
  std::function<void()> closeCompletion;
  std::shared_ptr<Config> config_;
  std::shared_ptr<ConfigProvider> configProvider;
  std::optional<double> totalManifestDuration;
  double oldTime = 0;
  std::optional<ContentPlayer::TimeObserverToken> timeObserver;
  ObservationType observationType = ObservationType::slow;
  std::optional<VideoType> videoType;
  std::string proxyAuthority_ = "localhost:8080";

  // Reads every playlist the proxy serves; lives as long as the session.
  std::shared_ptr<ManifestParser> manifestParser;
  // What the last setUpBehaviur() chose, and the behaviour it built for the
  // scheduler.
  std::shared_ptr<const BehaviourChoice> lastChoice_;
  std::shared_ptr<TelvoraSchedulerBehaivour> behaviour_;
};

}  // namespace telvora
