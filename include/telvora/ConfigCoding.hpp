#pragma once

#include <telvora/Config.hpp>
#include <telvora/Result.hpp>
#include <telvora/SDKConfig.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvora {

// JSON reading and writing of the configuration records.
//
// Decoding is strict: a required key that is missing or null, a value of the
// wrong JSON type (also for an optional key), an unknown raw value of an
// enumeration, a number that does not fit its field or nesting deeper than
// 512 levels fails the whole document with CodingError::decodeFailed, and
// the result's detail names the key path ("data.live.prerollPods: expected an
// integer, got a string"). An optional key that is missing or null gives an
// absent field; unknown keys are ignored. Integers take any JSON number of
// integral value (2 and 2.0); floats take any number; booleans only true and
// false; texts only strings.
//
// Encoding leaves absent fields out and writes enumerations as their raw
// values. It fails only for a text that is not valid UTF-8.
enum class CodingError { decodeFailed, encodeFailed };

inline constexpr int kMaxJsonDepth = 512;

Result<ConfigData, CodingError> decodeConfigData(std::string_view json);
Result<std::shared_ptr<Config>, CodingError> decodeConfig(std::string_view json);
Result<StreamConfig, CodingError> decodeStreamConfig(std::string_view json);
Result<AdConfig, CodingError> decodeAdConfig(std::string_view json);
// "channelId", "publisherId", "configId" required; "configURL", "adsConfig" (a
// configuration without the "data" wrapper), "consentString" optional.
Result<SDKConfig, CodingError> decodeSDKConfig(std::string_view json);

Result<std::string, CodingError> encode(const ConfigData& value);
Result<std::string, CodingError> encode(const Config& value);
Result<std::string, CodingError> encode(const StreamConfig& value);
Result<std::string, CodingError> encode(const AdConfig& value);
Result<std::string, CodingError> encode(const SlotConfig& value);
Result<std::string, CodingError> encode(const PreAdNotification& value);

// Raw values of the enumerations, as they stand in JSON.
std::string_view rawValue(StreamConfig::Mode mode);
std::string_view rawValue(PreAdNotification::Position position);
std::int64_t rawValue(AdConfig::SkipDisplay display);
std::optional<StreamConfig::Mode> modeFromRawValue(std::string_view raw);
std::optional<PreAdNotification::Position> positionFromRawValue(std::string_view raw);
std::optional<AdConfig::SkipDisplay> skipDisplayFromRawValue(std::int64_t raw);

}  // namespace telvora
