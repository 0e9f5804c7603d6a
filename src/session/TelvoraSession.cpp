#include <telvora/TelvoraSession.hpp>

#include <telvora/platform/RunLoop.hpp>

#include <telvora/TelvoraLogs.hpp>

#include "config/TelvoraConfigURL.hpp"
#include "manifest/ManifestParser.hpp"
#include "platform/runloop/MainQueue.hpp"
#include "session/BehaviourChoice.hpp"
#include "session/ContentURLRewrite.hpp"

#include <utility>

namespace telvora {

std::shared_ptr<TelvoraSession> TelvoraSession::create(SDKConfig sdkConfig,
                                                       std::function<void()> closeCompletion) {
  return std::make_shared<TelvoraSession>(Token{}, std::move(sdkConfig),
                                          std::move(closeCompletion));
}

TelvoraSession::TelvoraSession(Token, SDKConfig sdkConfig, std::function<void()> closeCompletion)
    : sdkConfig_(std::move(sdkConfig)),
      closeCompletion(std::move(closeCompletion)),
      manifestParser(std::make_shared<ManifestParser>()) {}

void TelvoraSession::prepareURL(std::string videoURL, std::function<void(URLResult)> completion) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  // Holds the session until the completion has run.
  getStreamConfig([self = shared_from_this(), videoURL = std::move(videoURL),
                   completion = std::move(completion)](ConfigResult result) mutable {
    RunLoop::main().async([self = std::move(self), videoURL = std::move(videoURL),
                           completion = std::move(completion),
                           result = std::move(result)]() mutable {
      if (!result) {
        completion(result.forwardFailure<std::string>());
        return;
      }
      self->config_ = std::move(result).value();
      auto rewrite = rewriteContentURL(videoURL, self->proxyAuthority_);
      if (!rewrite) {
        completion(URLResult::failure(SessionError::invalidContentURL, "not a URL: " + videoURL));
        return;
      }
      completion(URLResult::success(std::move(rewrite->url)));
    });
  });
}

void TelvoraSession::setConfig(std::shared_ptr<Config> config) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  config_ = std::move(config);
  setUpBehaviur();
}

void TelvoraSession::setConfigURL(std::string configURL) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  downloadStreamConfig(configURL, [self = shared_from_this()](ConfigResult result) mutable {
    if (!result) return;  // dropped: the configuration in force stays
    RunLoop::main().async([self = std::move(self), config = std::move(result).value()]() mutable {
      self->config_ = std::move(config);
      self->setUpBehaviur();
    });
  });
}

void TelvoraSession::setConsentString(std::string consentString) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  sdkConfig_.consentString = std::move(consentString);
}

// Answers on the calling thread when the configuration is at hand, else on
// the loader's thread.
void TelvoraSession::getStreamConfig(std::function<void(ConfigResult)> completion) {
  if (sdkConfig_.configURL) {
    downloadStreamConfig(*sdkConfig_.configURL, std::move(completion));
  } else if (sdkConfig_.adsConfig) {
    sdkConfig_.adsConfig->mergeConfigs();
    completion(ConfigResult::success(sdkConfig_.adsConfig));
  } else {
    completion(ConfigResult::failure(SessionError::noConfigProvided,
                                     "the identity has neither configURL nor adsConfig"));
  }
}

void TelvoraSession::downloadStreamConfig(const std::string& url,
                                          std::function<void(ConfigResult)> completion) {
  const std::optional<std::string> requestURL = TelvoraConfigURL(sdkConfig_, url).build();
  if (!requestURL) {
    completion(ConfigResult::failure(ConfigProvider::Error::urlNotFound, "not a URL: " + url));
    return;
  }
  configProvider = std::make_shared<ConfigProvider>(*requestURL);
  configProvider->load([completion = std::move(completion)](ConfigProvider::LoadResult result) {
    if (!result) {
      completion(ConfigResult::failure(result.error(), result.detail()));
      return;
    }
    std::shared_ptr<Config> config = std::move(result).value();
    config->mergeConfigs();  // not yet shared with anyone: safe off the main queue
    completion(ConfigResult::success(std::move(config)));
  });
}

void TelvoraSession::setUpBehaviur() {
  if (!config_) return;
  TelvoraLogs::shared()->setLive(false);
  auto choice = std::make_shared<const BehaviourChoice>(chooseBehaviour(*config_, videoType));
  const auto storeTotalDuration = [weak = weak_from_this()](double total) {
    if (auto self = weak.lock()) self->totalManifestDuration = total;
  };
  if (videoType == VideoType::live) {
    TelvoraLogs::shared()->setLive(true);
    manifestParser->manifestParsed = [storeTotalDuration](const std::vector<CuePoint>&,
                                                          double total) {
      storeTotalDuration(total);
    };
  } else if (choice->stream.prerollPods.value_or(0) > 0 && player && player->contentPlayer) {
    player->contentPlayer->pause();  // the pre-roll comes first
  }

  lastChoice_ = choice;
  if (choice->behaviour == BehaviourKind::none) return;  // an earlier behaviour stays
  TelvoraLogs::shared()->setAdMode(std::string(adModeName(choice->behaviour)));
  behaviour_ = makeBehaviour(*choice, {}, manifestParser, storeTotalDuration);
}

void TelvoraSession::setVideoType(std::optional<VideoType> type) {
  videoType = type;
  setUpBehaviur();
}

std::string_view TelvoraSession::describe(const Error& error) {
  if (const auto* session = std::get_if<SessionError>(&error)) {
    switch (*session) {
      case SessionError::noConfigProvided:
        return "noConfigProvided";
      case SessionError::invalidContentURL:
        return "invalidContentURL";
    }
  }
  return toString(std::get<ConfigProvider::Error>(error));
}

}  // namespace telvora
