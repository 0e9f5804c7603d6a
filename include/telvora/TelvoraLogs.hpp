#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace telvora {

// The process-wide debug record of what the library is doing: when the next
// break is due and how long it is, the playback position, the scheduling mode,
// whether the stream is live, how many ads are ready, the last playback error.
//
// Every assignment of a field (also of the same value, also of none) posts
// the notification TelvoraSession::updeteDebugInfo ("updeteDebugInfo") on
// NotificationCenter::defaultCenter(), synchronously, with this instance as
// its object and the shared record's description under "TelvoraLogs":
//
//   auto observation = NotificationCenter::defaultCenter().addObserver(
//       "updeteDebugInfo", [](const Notification& n) {
//         std::cout << std::any_cast<std::string>(n.userInfo.at("TelvoraLogs"));
//       });
//
// Threading: the record is written and swapped only on the main queue, like
// all core state, so it holds no lock; observers are called there too.
// Writers fetch shared() for every write, so after clearLogs() every write
// goes to the new record.
class TelvoraLogs {
 public:
  // The key of the description in the notification's user info.
  static constexpr std::string_view userInfoKey = "TelvoraLogs";

  static std::shared_ptr<TelvoraLogs> shared();
  static void setShared(std::shared_ptr<TelvoraLogs> logs);
  // Replaces the shared record with an empty one. Posts nothing.
  static void clearLogs();

  TelvoraLogs() = default;

  // Seconds to the next break, as the last timed event said.
  std::optional<double> nextQueTime() const { return nextQueTime_; }
  void setNextQueTime(std::optional<double> value) { assign(nextQueTime_, value); }
  std::optional<std::int64_t> adCount() const { return adCount_; }
  void setAdCount(std::optional<std::int64_t> value) { assign(adCount_, value); }
  std::optional<std::int64_t> cashedAds() const { return cashedAds_; }
  void setCashedAds(std::optional<std::int64_t> value) { assign(cashedAds_, value); }
  // The last timed event's break duration, seconds.
  std::optional<double> adPos() const { return adPos_; }
  void setAdPos(std::optional<double> value) { assign(adPos_, value); }
  // The playback position in whole seconds: negated for on-demand streams,
  // as is for live ones. The description writes it negated.
  std::optional<std::int64_t> pos() const { return pos_; }
  void setPos(std::optional<std::int64_t> value) { assign(pos_, value); }
  // "Interval", "Slots" or "Cue Points".
  const std::optional<std::string>& adMode() const { return adMode_; }
  void setAdMode(std::optional<std::string> value) { assign(adMode_, std::move(value)); }
  std::optional<bool> live() const { return live_; }
  void setLive(std::optional<bool> value) { assign(live_, value); }
  std::optional<std::int64_t> curentChunk() const { return curentChunk_; }
  void setCurentChunk(std::optional<std::int64_t> value) { assign(curentChunk_, value); }
  // The number of ads in the pool and the sum of their durations, seconds.
  std::optional<std::int64_t> prefetchetAds() const { return prefetchetAds_; }
  void setPrefetchetAds(std::optional<std::int64_t> value) { assign(prefetchetAds_, value); }
  std::optional<std::int64_t> prefetchedAdsTime() const { return prefetchedAdsTime_; }
  void setPrefetchedAdsTime(std::optional<std::int64_t> value) {
    assign(prefetchedAdsTime_, value);
  }
  // Why the content player item last failed to play to its end.
  const std::optional<std::string>& internetError() const { return internetError_; }
  void setInternetError(std::optional<std::string> value) {
    assign(internetError_, std::move(value));
  }

  // One line per field that is set, in the order above, each ended by "\n";
  // the empty text when none is.
  std::string getDescription() const;
  // Posts the change notification now, on the calling thread.
  void fireNotification();

 private:
  template <class T>
  void assign(std::optional<T>& field, std::optional<T> value) {
    field = std::move(value);
    fireNotification();
  }

  std::optional<double> nextQueTime_;
  std::optional<std::int64_t> adCount_;
  std::optional<std::int64_t> cashedAds_;
  std::optional<double> adPos_;
  std::optional<std::int64_t> pos_;
  std::optional<std::string> adMode_;
  std::optional<bool> live_;
  std::optional<std::int64_t> curentChunk_;
  std::optional<std::int64_t> prefetchetAds_;
  std::optional<std::int64_t> prefetchedAdsTime_;
  std::optional<std::string> internetError_;
};

}  // namespace telvora
