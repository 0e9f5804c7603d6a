#pragma once

#include <optional>
#include <string>

namespace telvora {

// What the host app tells about itself: sent with every configuration
// request. The package identifier is absent until the host sets it; the name
// defaults to the program's own name. Thread-safe.
class AppInfo {
 public:
  static std::optional<std::string> packageIdentifier();
  static void setPackageIdentifier(std::optional<std::string> identifier);

  static std::optional<std::string> name();
  // nullopt makes the name absent (the configuration request then sends a
  // default name).
  static void setName(std::optional<std::string> name);
};

}  // namespace telvora
