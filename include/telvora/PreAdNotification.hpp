#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace telvora {

// The notice shown before an ad break, with its countdown.
struct PreAdNotification {
  // Corner of the notice. JSON: "top-left", "top-right", "bottom-right",
  // "bottom-left".
  enum class Position { top_left, top_right, bottom_right, bottom_left };

  std::optional<bool> showTimer;  // absent: shown
  std::optional<Position> position;
  std::optional<std::string> text;
  std::optional<std::int64_t> timerCount;  // seconds before a break; absent: 5

  PreAdNotification() = default;

  friend bool operator==(const PreAdNotification&, const PreAdNotification&) = default;
};

}  // namespace telvora
