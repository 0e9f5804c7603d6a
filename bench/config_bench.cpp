// Cost of what every session does with its configuration: decode the
// document, complete live and onDemand from the defaults, and build the
// request URL.
#include <telvora/ConfigCoding.hpp>

#include "config/TelvoraConfigURL.hpp"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string exampleDocument() {
  std::ifstream in(TELVORA_EXAMPLE_CONFIG_PATH);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The example with many slots: a large but plausible document.
std::string documentWithSlots(int count) {
  std::string slots;
  for (int i = 0; i < count; ++i) {
    if (i) slots += ",";
    slots +=
        R"({"time": )" + std::to_string(60 * (i + 1)) +
        R"(, "maxPods": 3, "maxDuration": 45, "adConfig": {"vastUrl": "https://ads.example.com/vast?slot=)" +
        std::to_string(i) + R"("}})";
  }
  return R"({"data": {"default": {"prerollPods": 2, "breakingAdsMode": "default", "slots": [)" +
         slots + R"(]}, "live": {}, "onDemand": {"prerollPods": 1}}})";
}

void decodeDocument(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    auto decoded = telvora::decodeConfigData(text);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_DecodeExample(benchmark::State& state) {
  decodeDocument(state, exampleDocument());
}
BENCHMARK(BM_DecodeExample);

void BM_Decode500Slots(benchmark::State& state) {
  decodeDocument(state, documentWithSlots(500));
}
BENCHMARK(BM_Decode500Slots);

void BM_MergeConfigs(benchmark::State& state) {
  const std::string text = exampleDocument();
  for (auto _ : state) {
    state.PauseTiming();
    auto decoded = telvora::decodeConfigData(text);
    state.ResumeTiming();
    decoded.value().data->mergeConfigs();
    benchmark::DoNotOptimize(decoded);
  }
}
BENCHMARK(BM_MergeConfigs);

void BM_BuildConfigURL(benchmark::State& state) {
  const telvora::SDKConfig identity("channel 1", "publisher&co", "config-7", std::nullopt, nullptr,
                                    std::nullopt);
  for (auto _ : state) {
    auto url = telvora::TelvoraConfigURL(identity, "https://cfg.example.com/v1/config?x=1").build();
    benchmark::DoNotOptimize(url);
  }
}
BENCHMARK(BM_BuildConfigURL);

}  // namespace

BENCHMARK_MAIN();
