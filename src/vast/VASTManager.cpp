#include "vast/VASTManager.hpp"

#include <telvora/TelvoraLogs.hpp>

#include "platform/runloop/MainQueue.hpp"

#include <algorithm>
#include <limits>

namespace telvora {

void VASTManager::setTelvoraVast(TelvoraVastList ads) {
  TELVORA_DCHECK_ON_MAIN_QUEUE();
  const std::size_t before = telvoraVast_.size();
  telvoraVast_ = std::move(ads);
  if (telvoraVast_.size() == before) return;
  TelvoraLogs::shared()->setPrefetchetAds(static_cast<std::int64_t>(telvoraVast_.size()));
  TelvoraLogs::shared()->setPrefetchedAdsTime(calculeVastDuration());
}

void VASTManager::append(const TelvoraVastList& ads) {
  TelvoraVastList list = telvoraVast_;
  list.insert(list.end(), ads.begin(), ads.end());
  setTelvoraVast(std::move(list));
}

void VASTManager::sortLongestFirst() {
  TelvoraVastList list = telvoraVast_;
  std::stable_sort(list.begin(), list.end(),
                   [](const auto& a, const auto& b) { return a->duration() > b->duration(); });
  setTelvoraVast(std::move(list));
}

void VASTManager::removeFirst() {
  if (telvoraVast_.empty()) return;
  setTelvoraVast(TelvoraVastList(telvoraVast_.begin() + 1, telvoraVast_.end()));
}

std::int64_t VASTManager::calculeVastDuration() const {
  std::int64_t total = 0;
  for (const auto& ad : telvoraVast_) {
    if (ad->duration() > 0 && total > std::numeric_limits<std::int64_t>::max() - ad->duration())
      return std::numeric_limits<std::int64_t>::max();
    total += ad->duration();
  }
  return total;
}

void VASTManager::findBest(double targetDuration) {
  if (telvoraVast_.empty()) return;
  TelvoraVastList list = telvoraVast_;
  const auto fits = std::find_if(list.begin(), list.end(), [&](const auto& ad) {
    return targetDuration >= static_cast<double>(ad->duration());
  });
  if (fits == list.begin()) return;
  if (fits != list.end()) {
    std::rotate(list.begin(), fits, fits + 1);
  } else {
    std::rotate(list.begin(), list.end() - 1, list.end());
  }
  setTelvoraVast(std::move(list));
}

std::string VASTManager::getBestVast() const {
  std::string document(vastStart);
  if (!telvoraVast_.empty()) document += telvoraVast_.front()->vast();
  document += vastEnd;
  return document;
}

}  // namespace telvora
