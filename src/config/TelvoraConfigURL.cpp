#include "config/TelvoraConfigURL.hpp"

#include <telvora/AppInfo.hpp>

#include <cstdint>
#include <limits>
#include <random>

namespace telvora {
namespace {

// Uniform in [0, 2^63 - 1): the largest signed 64-bit value itself excluded.
std::uint64_t cacheBuster() {
  thread_local std::mt19937_64 engine{std::random_device{}()};
  std::uniform_int_distribution<std::uint64_t> distribution(
      0, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) - 1);
  return distribution(engine);
}

std::vector<QueryItem> makeQueryItems(const SDKConfig& config) {
  return {
      {"cb", std::to_string(cacheBuster())},
      {"TL_PUBLISHERID", config.publisherId},
      {"TL_CHANNELID", config.channelId},
      {"TL_CFGID", config.configId},
      {"TL_APPPKGNAME", AppInfo::packageIdentifier()},
      {"TL_APPNAME", AppInfo::name().value_or("TelvoraSdk")},
  };
}

}  // namespace

TelvoraConfigURL::TelvoraConfigURL(SDKConfig config, std::string baseURL)
    : config(std::move(config)),
      baseURL(std::move(baseURL)),
      queryItems(makeQueryItems(this->config)) {}

std::optional<std::string> TelvoraConfigURL::build() const {
  std::optional<Url> url = Url::parse(baseURL);
  if (!url) return std::nullopt;
  url->query = encodeQuery(queryItems);
  return url->toString();
}

}  // namespace telvora
