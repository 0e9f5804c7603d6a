#include "config/ConfigJson.hpp"

#include <telvora/ConfigCoding.hpp>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace telvora::json {
namespace {

std::string kindOf(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null:
      return "null";
    case Json::value_t::object:
      return "an object";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::string:
      return "a string";
    case Json::value_t::boolean:
      return "a boolean";
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      return "the number " + value.dump();
    default:
      return "an unsupported value";
  }
}

[[noreturn]] void fail(const std::string& path, const std::string& message) {
  throw DecodeFailure((path.empty() ? std::string("document") : path) + ": " + message);
}

[[noreturn]] void expected(const std::string& path, const char* what, const Json& got) {
  fail(path, std::string("expected ") + what + ", got " + kindOf(got));
}

std::string keyPath(const std::string& path, std::string_view key) {
  std::string out = path;
  if (!out.empty()) out += '.';
  out += key;
  return out;
}

const Json& requireObject(const Json& value, const std::string& path) {
  if (!value.is_object()) expected(path, "an object", value);
  return value;
}

// Reads an optional key: absent and null give nullopt, anything else goes
// through `read`, which checks its type.
template <class Read>
auto optionalField(const Json& object, std::string_view key, const std::string& path, Read read)
    -> std::optional<decltype(read(object, path))> {
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return std::nullopt;
  return read(*it, keyPath(path, key));
}

template <class Read>
auto requiredField(const Json& object, std::string_view key, const std::string& path, Read read)
    -> decltype(read(object, path)) {
  auto it = object.find(key);
  const std::string at = keyPath(path, key);
  if (it == object.end()) fail(at, "required key is missing");
  if (it->is_null()) fail(at, "required key is null");
  return read(*it, at);
}

std::int64_t readInteger(const Json& value, const std::string& path) {
  switch (value.type()) {
    case Json::value_t::number_integer:
      return value.get<std::int64_t>();
    case Json::value_t::number_unsigned: {
      const auto u = value.get<std::uint64_t>();
      if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        fail(path, "the number " + value.dump() + " does not fit a 64-bit integer");
      }
      return static_cast<std::int64_t>(u);
    }
    case Json::value_t::number_float: {
      const double d = value.get<double>();
      constexpr double kLimit = 9223372036854775808.0;  // 2^63
      if (std::trunc(d) != d) expected(path, "an integer", value);
      // -2^63 itself is refused as a float: an integer literal below the
      // range rounds to it, and the exact literal arrives as an integer.
      if (!(d > -kLimit && d < kLimit)) {
        fail(path, "the number " + value.dump() + " does not fit a 64-bit integer");
      }
      return static_cast<std::int64_t>(d);
    }
    default:
      expected(path, "an integer", value);
  }
}

float readFloat(const Json& value, const std::string& path) {
  if (!value.is_number()) expected(path, "a number", value);
  const double d = value.get<double>();
  if (!(std::fabs(d) <= static_cast<double>(std::numeric_limits<float>::max()))) {
    fail(path, "the number " + value.dump() + " does not fit a 32-bit float");
  }
  return static_cast<float>(d);
}

bool readBool(const Json& value, const std::string& path) {
  if (!value.is_boolean()) expected(path, "true or false", value);
  return value.get<bool>();
}

std::string readString(const Json& value, const std::string& path) {
  if (!value.is_string()) expected(path, "a string", value);
  return value.get<std::string>();
}

StreamConfig::Mode readMode(const Json& value, const std::string& path) {
  const std::string raw = readString(value, path);
  if (auto mode = modeFromRawValue(raw)) return *mode;
  fail(path, "\"" + raw + "\" is not one of \"os\", \"default\", \"cue\"");
}

PreAdNotification::Position readPosition(const Json& value, const std::string& path) {
  const std::string raw = readString(value, path);
  if (auto position = positionFromRawValue(raw)) return *position;
  fail(path, "\"" + raw +
                 "\" is not one of \"top-left\", \"top-right\", \"bottom-right\", \"bottom-left\"");
}

AdConfig::SkipDisplay readSkipDisplay(const Json& value, const std::string& path) {
  const std::int64_t raw = readInteger(value, path);
  if (auto display = skipDisplayFromRawValue(raw)) return *display;
  fail(path, std::to_string(raw) + " is not one of 1, 2, 3");
}

std::vector<SlotConfig> readSlots(const Json& value, const std::string& path) {
  if (!value.is_array()) expected(path, "an array", value);
  std::vector<SlotConfig> slots;
  slots.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    slots.push_back(decodeSlotConfig(value[i], path + "[" + std::to_string(i) + "]"));
  }
  return slots;
}

// Writes a float by its shortest decimal form, so 0.1f is written as 0.1 and
// not as the double nearest to the float (0.10000000149011612).
double widenShortest(float f) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, f);
  double d = f;
  if (ec == std::errc()) std::from_chars(buffer, end, d);
  return d;
}

template <class T, class Convert>
void put(Json& object, const char* key, const std::optional<T>& field, Convert convert) {
  if (field) object[key] = convert(*field);
}

template <class T>
void put(Json& object, const char* key, const std::optional<T>& field) {
  if (field) object[key] = *field;
}

}  // namespace

Json parse(std::string_view text) {
  const Json::parser_callback_t limitDepth = [](int depth, Json::parse_event_t event, Json&) {
    if ((event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start) &&
        depth >= kMaxJsonDepth) {
      throw DecodeFailure("document: nesting deeper than " + std::to_string(kMaxJsonDepth) +
                          " levels");
    }
    return true;
  };
  try {
    return Json::parse(text.begin(), text.end(), limitDepth);
  } catch (const Json::exception& e) {
    throw DecodeFailure(std::string("document: not valid JSON: ") + e.what());
  }
}

AdConfig decodeAdConfig(const Json& value, const std::string& path) {
  const Json& o = requireObject(value, path);
  return AdConfig(optionalField(o, "skip", path, readBool),
                  optionalField(o, "skipTimer", path, readFloat),
                  optionalField(o, "soundButton", path, readBool),
                  optionalField(o, "pauseButton", path, readBool),
                  optionalField(o, "clickThrough", path, readBool),
                  optionalField(o, "errorLimit", path, readInteger),
                  optionalField(o, "vastUrl", path, readString),
                  optionalField(o, "skipDisplay", path, readSkipDisplay),
                  optionalField(o, "skipText", path, readString));
}

SlotConfig decodeSlotConfig(const Json& value, const std::string& path) {
  const Json& o = requireObject(value, path);
  return SlotConfig(optionalField(o, "time", path, readInteger),
                    optionalField(o, "timeout", path, readInteger),
                    optionalField(o, "maxPods", path, readInteger),
                    optionalField(o, "maxDuration", path, readInteger),
                    optionalField(o, "adConfig", path, decodeAdConfig));
}

PreAdNotification decodePreAdNotification(const Json& value, const std::string& path) {
  const Json& o = requireObject(value, path);
  PreAdNotification notice;
  notice.showTimer = optionalField(o, "showTimer", path, readBool);
  notice.position = optionalField(o, "position", path, readPosition);
  notice.text = optionalField(o, "text", path, readString);
  notice.timerCount = optionalField(o, "timerCount", path, readInteger);
  return notice;
}

StreamConfig decodeStreamConfig(const Json& value, const std::string& path) {
  const Json& o = requireObject(value, path);
  return StreamConfig(optionalField(o, "prerollPods", path, readInteger),
                      optionalField(o, "maxPrerollTime", path, readInteger),
                      optionalField(o, "midrollPods", path, readInteger),
                      optionalField(o, "maxMidrollTime", path, readInteger),
                      optionalField(o, "midrollTime", path, readInteger),
                      optionalField(o, "breakingAdsMode", path, readMode),
                      optionalField(o, "prerollAdConfig", path, decodeAdConfig),
                      optionalField(o, "midrollAdConfig", path, decodeAdConfig),
                      optionalField(o, "fillerStream", path, readString),
                      optionalField(o, "slots", path, readSlots),
                      optionalField(o, "stopFetchingAdsBellowXRemainingSec", path, readInteger),
                      optionalField(o, "preAdNotification", path, decodePreAdNotification));
}

std::shared_ptr<Config> decodeConfig(const Json& value, const std::string& path) {
  const Json& o = requireObject(value, path);
  // Read in key order so the first failure reported is the first in the table.
  StreamConfig defaults = requiredField(o, "default", path, decodeStreamConfig);
  StreamConfig live = requiredField(o, "live", path, decodeStreamConfig);
  StreamConfig onDemand = requiredField(o, "onDemand", path, decodeStreamConfig);
  return std::make_shared<Config>(std::move(defaults), std::move(live), std::move(onDemand));
}

ConfigData decodeConfigData(const Json& value) {
  const Json& o = requireObject(value, "");
  return ConfigData(requiredField(o, "data", "", decodeConfig));
}

SDKConfig decodeSDKConfig(const Json& value) {
  const Json& o = requireObject(value, "");
  std::string channelId = requiredField(o, "channelId", "", readString);
  std::string publisherId = requiredField(o, "publisherId", "", readString);
  std::string configId = requiredField(o, "configId", "", readString);
  std::optional<std::string> configURL = optionalField(o, "configURL", "", readString);
  std::optional<std::shared_ptr<Config>> adsConfig =
      optionalField(o, "adsConfig", "", decodeConfig);
  std::optional<std::string> consentString = optionalField(o, "consentString", "", readString);
  return SDKConfig(std::move(channelId), std::move(publisherId), std::move(configId),
                   std::move(configURL), adsConfig ? std::move(*adsConfig) : nullptr,
                   std::move(consentString));
}

Json encodeAdConfig(const AdConfig& value) {
  Json o = Json::object();
  put(o, "skip", value.skip);
  put(o, "skipTimer", value.skipTimer, widenShortest);
  put(o, "soundButton", value.soundButton);
  put(o, "pauseButton", value.pauseButton);
  put(o, "clickThrough", value.clickThrough);
  put(o, "errorLimit", value.errorLimit);
  put(o, "vastUrl", value.vastUrl);
  put(o, "skipDisplay", value.skipDisplay, [](auto d) { return rawValue(d); });
  put(o, "skipText", value.skipText);
  return o;
}

Json encodeSlotConfig(const SlotConfig& value) {
  Json o = Json::object();
  put(o, "time", value.time);
  put(o, "timeout", value.timeout);
  put(o, "maxPods", value.maxPods);
  put(o, "maxDuration", value.maxDuration);
  put(o, "adConfig", value.adConfig, encodeAdConfig);
  return o;
}

Json encodePreAdNotification(const PreAdNotification& value) {
  Json o = Json::object();
  put(o, "showTimer", value.showTimer);
  put(o, "position", value.position, [](auto p) { return std::string(rawValue(p)); });
  put(o, "text", value.text);
  put(o, "timerCount", value.timerCount);
  return o;
}

Json encodeStreamConfig(const StreamConfig& value) {
  Json o = Json::object();
  put(o, "prerollPods", value.prerollPods);
  put(o, "maxPrerollTime", value.maxPrerollTime);
  put(o, "midrollPods", value.midrollPods);
  put(o, "maxMidrollTime", value.maxMidrollTime);
  put(o, "midrollTime", value.midrollTime);
  put(o, "breakingAdsMode", value.breakingAdsMode, [](auto m) { return std::string(rawValue(m)); });
  put(o, "prerollAdConfig", value.prerollAdConfig, encodeAdConfig);
  put(o, "midrollAdConfig", value.midrollAdConfig, encodeAdConfig);
  put(o, "fillerStream", value.fillerStream);
  put(o, "slots", value.slots, [](const std::vector<SlotConfig>& slots) {
    Json array = Json::array();
    for (const SlotConfig& slot : slots)
      array.push_back(encodeSlotConfig(slot));
    return array;
  });
  put(o, "stopFetchingAdsBellowXRemainingSec", value.stopFetchingAdsBellowXRemainingSec);
  put(o, "preAdNotification", value.preAdNotification, encodePreAdNotification);
  return o;
}

Json encodeConfig(const Config& value) {
  Json o = Json::object();
  o["default"] = encodeStreamConfig(value.default_);
  o["live"] = encodeStreamConfig(value.live);
  o["onDemand"] = encodeStreamConfig(value.onDemand);
  return o;
}

}  // namespace telvora::json
