#include <telvora/TelvoraLogs.hpp>

#include <telvora/TelvoraSession.hpp>
#include <telvora/platform/NotificationCenter.hpp>

#include "platform/runloop/MainQueue.hpp"
#include "platform/text/DoubleText.hpp"

namespace telvora {
namespace {

std::shared_ptr<TelvoraLogs>& sharedSlot() {
  static std::shared_ptr<TelvoraLogs> shared = std::make_shared<TelvoraLogs>();
  return shared;
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
