// Cost of cutting VAST responses into single-ad records: a 1 MiB response
// with 200 ads of mixed durations, and a 16 MiB one (the largest the loader
// reads), to show the time stays linear.
#include "vast/VASTLoader.hpp"
#include "vast/VASTManager.hpp"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using telvora::VASTLoader;

std::string adElement(int index, std::size_t size) {
  const int seconds = 5 + (index * 7) % 40;
  std::string ad =
      "<Ad id=\"ad-" + std::to_string(index) + "\" sequence=\"" + std::to_string(index % 5 + 1) +
      "\">\n <InLine>\n  <AdSystem version=\"4.1\">Bench Ads</AdSystem>\n"
      "  <AdTitle>Ad " +
      std::to_string(index) +
      "</AdTitle>\n  <Impression><![CDATA[https://t.example.com/imp?ad=" + std::to_string(index) +
      "]]></Impression>\n  <Creatives><Creative><Linear>\n   <Duration>00:00:" +
      (seconds < 10 ? "0" : "") + std::to_string(seconds) +
      ".000</Duration>\n   <TrackingEvents>\n";
  for (const char* event : {"start", "firstQuartile", "midpoint", "thirdQuartile", "complete"})
    ad += std::string("    <Tracking event=\"") + event +
          "\"><![CDATA[https://t.example.com/ev?e=" + event + "]]></Tracking>\n";
  ad +=
      "   </TrackingEvents>\n   <MediaFiles><MediaFile delivery=\"progressive\" "
      "type=\"video/mp4\" width=\"1280\" height=\"720\"><![CDATA[https://cdn.example.com/ad" +
      std::to_string(index) +
      ".mp4]]></MediaFile></MediaFiles>\n  </Linear></Creative>"
      "</Creatives>\n  <Extensions><Extension type=\"padding\"><![CDATA[";
  while (ad.size() + 64 < size)
    ad += "lorem ipsum dolor sit amet <AdChoices> consectetur ";
  ad += "]]></Extension></Extensions>\n </InLine>\n</Ad>\n";
  return ad;
}

std::string response(std::size_t bytes, int ads) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VAST version=\"4.0\">\n";
  for (int i = 0; i < ads; ++i)
    text += adElement(i, bytes / static_cast<std::size_t>(ads));
  return text + "</VAST>\n";
}

void readAds(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    auto ads = VASTLoader::readAds(text);
    benchmark::DoNotOptimize(ads);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["ads"] = static_cast<double>(VASTLoader::readAds(text).size());
}

void BM_Response1MiB200Ads(benchmark::State& state) {
  readAds(state, response(1 << 20, 200));
}
BENCHMARK(BM_Response1MiB200Ads)->Unit(benchmark::kMillisecond);

void BM_Response16MiB3200Ads(benchmark::State& state) {
  readAds(state, response(16 << 20, 3200));
}
BENCHMARK(BM_Response16MiB3200Ads)->Unit(benchmark::kMillisecond);

// 16 MiB of start tags that never close: the worst case for a scan that
// retries at each candidate.
void BM_Hostile16MiBUnclosedAds(benchmark::State& state) {
  std::string text;
  while (text.size() < (16u << 20))
    text += "<Ad id=\"x\"><Duration>00:00:10</Duration>";
  readAds(state, text);
}
BENCHMARK(BM_Hostile16MiBUnclosedAds)->Unit(benchmark::kMillisecond);

void BM_PickAndWrap(benchmark::State& state) {
  auto ads = VASTLoader::readAds(response(1 << 20, 200));
  for (auto _ : state) {
    telvora::VASTManager manager;
    manager.append(ads);
    manager.sortLongestFirst();
    manager.findBest(22);
    benchmark::DoNotOptimize(manager.getBestVast());
  }
}
BENCHMARK(BM_PickAndWrap)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
