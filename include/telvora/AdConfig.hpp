#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace telvora {

// How an ad break's ads are presented: VAST source, skip button, sound and
// pause controls. Every field is optional; each reader decides what an absent
// field stands for (no skip button, "Skip ad", countDownBeforeShow, ...).
struct AdConfig {
  // How the skip button looks before skipping is allowed. JSON: 1, 2, 3.
  enum class SkipDisplay : std::int64_t {
    hideBeforeShow = 1,
    greyBeforeShow = 2,
    countDownBeforeShow = 3,
  };

  std::optional<bool> skip;
  std::optional<float> skipTimer;  // seconds before skipping is allowed
  std::optional<bool> soundButton;
  std::optional<bool> pauseButton;
  std::optional<bool> clickThrough;
  std::optional<std::int64_t> errorLimit;
  std::optional<std::string> vastUrl;
  std::optional<SkipDisplay> skipDisplay;
  std::optional<std::string> skipText;

  AdConfig() = default;
  AdConfig(std::optional<bool> skip, std::optional<float> skipTimer,
           std::optional<bool> soundButton, std::optional<bool> pauseButton,
           std::optional<bool> clickThrough, std::optional<std::int64_t> errorLimit,
           std::optional<std::string> vastUrl, std::optional<SkipDisplay> skipDisplay,
           std::optional<std::string> skipText)
      : skip(skip),
        skipTimer(skipTimer),
        soundButton(soundButton),
        pauseButton(pauseButton),
        clickThrough(clickThrough),
        errorLimit(errorLimit),
        vastUrl(std::move(vastUrl)),
        skipDisplay(skipDisplay),
        skipText(std::move(skipText)) {}

  friend bool operator==(const AdConfig&, const AdConfig&) = default;
};

}  // namespace telvora
