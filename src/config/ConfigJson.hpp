#pragma once

// JSON forms of the configuration records, on nlohmann::ordered_json (keys are
// written in field order). Internal to the library: the public surface is
// telvora/ConfigCoding.hpp.

#include <telvora/Config.hpp>
#include <telvora/SDKConfig.hpp>

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

namespace telvora::json {

using Json = nlohmann::ordered_json;

// Thrown inside the decoders and caught at the public entry points, which
// turn it into CodingError::decodeFailed with `what()` as the detail.
class DecodeFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses text into a JSON value, refusing nesting deeper than kMaxJsonDepth.
// Throws DecodeFailure.
Json parse(std::string_view text);

// Each decoder reads `value` found at key path `path` ("data.live"); they
// throw DecodeFailure naming the path of the offending key.
AdConfig decodeAdConfig(const Json& value, const std::string& path);
SlotConfig decodeSlotConfig(const Json& value, const std::string& path);
PreAdNotification decodePreAdNotification(const Json& value, const std::string& path);
StreamConfig decodeStreamConfig(const Json& value, const std::string& path);
std::shared_ptr<Config> decodeConfig(const Json& value, const std::string& path);
ConfigData decodeConfigData(const Json& value);
SDKConfig decodeSDKConfig(const Json& value);

Json encodeAdConfig(const AdConfig& value);
Json encodeSlotConfig(const SlotConfig& value);
Json encodePreAdNotification(const PreAdNotification& value);
Json encodeStreamConfig(const StreamConfig& value);
Json encodeConfig(const Config& value);

}  // namespace telvora::json
