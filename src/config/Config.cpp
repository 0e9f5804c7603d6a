#include <telvora/Config.hpp>

#include "config/ConfigJson.hpp"

namespace telvora {

void Config::mergeConfigs() {
  if (auto merged = merge(live)) live = std::move(*merged);
  if (auto merged = merge(onDemand)) onDemand = std::move(*merged);
}

// Works on the JSON forms, key by key at the top level: a key the stream
// configuration has keeps its value whole, nested objects and arrays included.
std::optional<StreamConfig> Config::merge(const StreamConfig& config) const {
  try {
    json::Json merged = json::encodeStreamConfig(config);
    const json::Json defaults = json::encodeStreamConfig(default_);
    for (const auto& [key, value] : defaults.items()) {
      if (!merged.contains(key)) merged[key] = value;
    }
    return json::decodeStreamConfig(merged, "");
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace telvora
