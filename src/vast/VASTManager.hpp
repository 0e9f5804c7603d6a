#pragma once

#include "vast/TelvoraVast.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace telvora {

// The ads of one ad-pod player that are ready to play, the choice of the one
// that plays next, and the VAST document the video-ad SDK loads for it.
//
// The first element plays next. A break goes: append what the loader
// brought, sortLongestFirst(), findBest(time left), getBestVast() for the ads
// request, removeFirst() when that ad is done, and again. Whenever the number
// of ads changes, the debug record learns the new count (prefetchetAds) and
// their total seconds (prefetchedAdsTime).
//
// Main queue only: the loader's results are posted there before they reach
// the pool, so the list needs no lock.
class VASTManager {
 public:
  // The head of every document handed to the SDK (154 characters) and its end.
  static constexpr std::string_view vastStart =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<VAST xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" version=\"4.0\" "
      "xsi:noNamespaceSchemaLocation=\"vast.xsd\">";
  static constexpr std::string_view vastEnd = "</VAST>";

  VASTManager() = default;

  const TelvoraVastList& telvoraVast() const { return telvoraVast_; }
  // Replaces the list; every change of the list goes through here.
  void setTelvoraVast(TelvoraVastList ads);

  void append(const TelvoraVastList& ads);
  void sortLongestFirst();  // stable: equal durations keep their order
  void removeFirst();       // nothing on an empty list

  // The sum of all durations, seconds (saturating at the int64 maximum).
  std::int64_t calculeVastDuration() const;

  // Moves to the front the first ad that fits `targetDuration` seconds; when
  // none fits (NaN fits nothing), the last ad. With the list sorted longest
  // first: the longest ad that fits, else the shortest.
  void findBest(double targetDuration);

  // vastStart + the first ad's element + vastEnd; a document without ads when
  // the list is empty.
  std::string getBestVast() const;

 private:
  TelvoraVastList telvoraVast_;
};

}  // namespace telvora
