// Arbitrary bytes through the VAST loader's ad cutting and the reference
// SDK's document reader. Every ad found is an exact, non-overlapping slice of
// the input, and the pool wraps it into a document.
#include "platform/adsdk/VastDocument.hpp"
#include "vast/VASTLoader.hpp"
#include "vast/VASTManager.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using telvora::VASTLoader;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const auto ads = VASTLoader::readAds(text);
  std::size_t from = 0;
  for (const auto& ad : ads) {
    const std::size_t at = text.find(ad->vast(), from);
    if (at == std::string_view::npos || !ad->vast().starts_with("<Ad") ||
        !ad->vast().ends_with("</Ad>") || ad->duration() < 0) {
      std::abort();
    }
    from = at + ad->vast().size();
  }

  // The reference SDK's reader: a document or an error with its reason.
  auto document = telvora::readVastDocument(text);
  if (!document && document.detail().empty()) std::abort();

  telvora::VASTManager pool;
  pool.append(ads);
  pool.sortLongestFirst();
  pool.findBest(30);
  const std::string wrapped = pool.getBestVast();
  if (!wrapped.starts_with(telvora::VASTManager::vastStart)) std::abort();
  return 0;
}
