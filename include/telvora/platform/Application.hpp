#pragma once

#include <string_view>

namespace telvora {

// Application lifecycle notifications the library listens for. A host posts
// them through NotificationCenter::defaultCenter() from its own lifecycle
// hooks (any thread).
struct Application {
  // The app is about to come back to the foreground: a paused ad resumes.
  static constexpr std::string_view willEnterForegroundNotification =
      "TelvoraApplicationWillEnterForegroundNotification";
};

}  // namespace telvora
