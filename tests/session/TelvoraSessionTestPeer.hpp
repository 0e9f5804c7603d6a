#pragma once

#include <telvora/TelvoraSession.hpp>

#include "manifest/ManifestParser.hpp"
#include "scheduling/TelvoraSchedulerBehaivour.hpp"
#include "session/BehaviourChoice.hpp"

#include <memory>
#include <optional>

namespace telvora {

// What the session tests look at inside a session.
struct TelvoraSessionTestPeer {
  static std::optional<BehaviourKind> chosen(const TelvoraSession& session) {
    if (!session.lastChoice_) return std::nullopt;
    return session.lastChoice_->behaviour;
  }
  static void setVideoType(TelvoraSession& session, VideoType type) { session.setVideoType(type); }
  static std::shared_ptr<TelvoraSchedulerBehaivour> behaviour(const TelvoraSession& session) {
    return session.behaviour_;
  }
  static ManifestParser& manifestParser(const TelvoraSession& session) {
    return *session.manifestParser;
  }
  static std::optional<double> totalManifestDuration(const TelvoraSession& session) {
    return session.totalManifestDuration;
  }
};

}  // namespace telvora
