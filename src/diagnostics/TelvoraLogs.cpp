#include <telvora/TelvoraLogs.hpp>

#include <telvora/TelvoraSession.hpp>
#include <telvora/platform/NotificationCenter.hpp>

#include "platform/runloop/MainQueue.hpp"

#include <charconv>
#include <cmath>

namespace telvora {
namespace {

std::shared_ptr<TelvoraLogs>& sharedSlot() {
  static std::shared_ptr<TelvoraLogs> shared = std::make_shared<TelvoraLogs>();
  return shared;
}

// The shortest text that reads back as `value`, with a fractional part for
// whole numbers (15.0). Seconds and counts are written without an exponent.
std::string doubleText(double value) {
  char buffer[64];
  const double magnitude = std::fabs(value);
  const bool plain = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e16);
  const auto result =
      plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
            : std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

// -value in base 10; also for the smallest int64, whose negation overflows.
std::string negatedText(std::int64_t value) {
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string text = value > 0 ? "-" : "";
  return text + std::to_string(magnitude);
}

void appendLine(std::string& out, std::string_view label, const std::string& value) {
  out.append(label).append(value).push_back('\n');
}

}  // namespace

std::shared_ptr<TelvoraLogs> TelvoraLogs::shared() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  return sharedSlot();
}

void TelvoraLogs::setShared(std::shared_ptr<TelvoraLogs> logs) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  sharedSlot() = logs ? std::move(logs) : std::make_shared<TelvoraLogs>();
}

void TelvoraLogs::clearLogs() {
  setShared(std::make_shared<TelvoraLogs>());
}

std::string TelvoraLogs::getDescription() const {
  std::string out;
  const auto integer = [](std::int64_t value) { return std::to_string(value); };
  if (nextQueTime_) appendLine(out, "Next Ad: ", doubleText(*nextQueTime_));
  if (adCount_) appendLine(out, "AdCount: ", integer(*adCount_));
  if (cashedAds_) appendLine(out, "CashedAds: ", integer(*cashedAds_));
  if (adPos_) appendLine(out, "Ad Duration: ", doubleText(*adPos_));
  if (pos_) appendLine(out, "Pos: ", negatedText(*pos_));
  if (adMode_) appendLine(out, "Ad Mode: ", *adMode_);
  if (live_) appendLine(out, "Live:", *live_ ? "true" : "false");
  if (curentChunk_) appendLine(out, "CurentChunk:", integer(*curentChunk_));
  if (prefetchetAds_) appendLine(out, "Ads Ready to Show:", integer(*prefetchetAds_));
  if (prefetchedAdsTime_) appendLine(out, "Ads Ready to Show Time:", integer(*prefetchedAdsTime_));
  if (internetError_) appendLine(out, "Connection Error: ", *internetError_);
  return out;
}

void TelvoraLogs::fireNotification() {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  UserInfo userInfo;
  userInfo.emplace(std::string(userInfoKey), sharedSlot()->getDescription());
  NotificationCenter::defaultCenter().post(TelvoraSession::updeteDebugInfo, this,
                                           std::move(userInfo));
}

}  // namespace telvora
