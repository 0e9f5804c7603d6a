#include <telvora/ConfigCoding.hpp>

#include "config/ConfigJson.hpp"

#include <array>
#include <utility>

namespace telvora {
namespace {

// Runs a decoder on parsed text, turning its failure into decodeFailed.
template <class T, class Decode>
Result<T, CodingError> decodeText(std::string_view text, Decode decode) {
  try {
    return Result<T, CodingError>::success(decode(json::parse(text)));
  } catch (const json::DecodeFailure& e) {
    return Result<T, CodingError>::failure(CodingError::decodeFailed, e.what());
  } catch (const std::exception& e) {  // allocation failure and the like
    return Result<T, CodingError>::failure(CodingError::decodeFailed, e.what());
  }
}

Result<std::string, CodingError> dump(const json::Json& value) {
  try {
    return Result<std::string, CodingError>::success(value.dump());
  } catch (const std::exception& e) {  // a text that is not UTF-8
    return Result<std::string, CodingError>::failure(CodingError::encodeFailed, e.what());
  }
}

constexpr std::array<std::pair<StreamConfig::Mode, std::string_view>, 3> kModes{{
    {StreamConfig::Mode::interval, "os"},
    {StreamConfig::Mode::slots, "default"},
    {StreamConfig::Mode::cue, "cue"},
}};

constexpr std::array<std::pair<PreAdNotification::Position, std::string_view>, 4> kPositions{{
    {PreAdNotification::Position::top_left, "top-left"},
    {PreAdNotification::Position::top_right, "top-right"},
    {PreAdNotification::Position::bottom_right, "bottom-right"},
    {PreAdNotification::Position::bottom_left, "bottom-left"},
}};

template <class Table, class Key>
auto rawOf(const Table& table, Key key) {
  for (const auto& [k, raw] : table) {
    if (k == key) return raw;
  }
  return decltype(table[0].second){};
}

template <class Table>
auto caseOf(const Table& table, std::string_view raw) -> std::optional<decltype(table[0].first)> {
  for (const auto& [k, r] : table) {
    if (r == raw) return k;
  }
  return std::nullopt;
}

}  // namespace

Result<ConfigData, CodingError> decodeConfigData(std::string_view text) {
  return decodeText<ConfigData>(text,
                                [](const json::Json& v) { return json::decodeConfigData(v); });
}

Result<std::shared_ptr<Config>, CodingError> decodeConfig(std::string_view text) {
  return decodeText<std::shared_ptr<Config>>(
      text, [](const json::Json& v) { return json::decodeConfig(v, ""); });
}

Result<StreamConfig, CodingError> decodeStreamConfig(std::string_view text) {
  return decodeText<StreamConfig>(
      text, [](const json::Json& v) { return json::decodeStreamConfig(v, ""); });
}

Result<AdConfig, CodingError> decodeAdConfig(std::string_view text) {
  return decodeText<AdConfig>(text,
                              [](const json::Json& v) { return json::decodeAdConfig(v, ""); });
}

Result<SDKConfig, CodingError> decodeSDKConfig(std::string_view text) {
  return decodeText<SDKConfig>(text, [](const json::Json& v) { return json::decodeSDKConfig(v); });
}

Result<std::string, CodingError> encode(const ConfigData& value) {
  if (!value.data) {
    return Result<std::string, CodingError>::failure(CodingError::encodeFailed,
                                                     "data: no configuration");
  }
  json::Json root = json::Json::object();
  root["data"] = json::encodeConfig(*value.data);
  return dump(root);
}

Result<std::string, CodingError> encode(const Config& value) {
  return dump(json::encodeConfig(value));
}
Result<std::string, CodingError> encode(const StreamConfig& value) {
  return dump(json::encodeStreamConfig(value));
}
Result<std::string, CodingError> encode(const AdConfig& value) {
  return dump(json::encodeAdConfig(value));
}
Result<std::string, CodingError> encode(const SlotConfig& value) {
  return dump(json::encodeSlotConfig(value));
}
Result<std::string, CodingError> encode(const PreAdNotification& value) {
  return dump(json::encodePreAdNotification(value));
}

std::string_view rawValue(StreamConfig::Mode mode) {
  return rawOf(kModes, mode);
}
std::string_view rawValue(PreAdNotification::Position position) {
  return rawOf(kPositions, position);
}
std::int64_t rawValue(AdConfig::SkipDisplay display) {
  return static_cast<std::int64_t>(display);
}

std::optional<StreamConfig::Mode> modeFromRawValue(std::string_view raw) {
  return caseOf(kModes, raw);
}
std::optional<PreAdNotification::Position> positionFromRawValue(std::string_view raw) {
  return caseOf(kPositions, raw);
}
std::optional<AdConfig::SkipDisplay> skipDisplayFromRawValue(std::int64_t raw) {
  if (raw < 1 || raw > 3) return std::nullopt;
  return static_cast<AdConfig::SkipDisplay>(raw);
}

}  // namespace telvora
