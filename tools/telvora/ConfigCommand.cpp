#include "ConfigCommand.hpp"

#include "ExampleConfig.hpp"

#include <telvora/ConfigCoding.hpp>
#include <telvora/ConfigProvider.hpp>

#include "config/TelvoraConfigURL.hpp"
#include "platform/url/Url.hpp"

#include <chrono>
#include <filesystem>
#include <future>
#include <iostream>
#include <optional>

namespace telvora::tool {
namespace {

// A file path, file:// URL or http(s) URL, as a URL the loader takes.
std::string sourceURL(const std::string& argument) {
  if (std::optional<Url> url = Url::parse(argument)) {
    if (url->scheme == "http" || url->scheme == "https" || url->scheme == "file") return argument;
  }
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(argument, ignored);
  std::string path = "file://";
  for (const auto& part : absolute.relative_path())
    path += "/" + percentEncode(part.string());
  return path;
}

int printStreams(Config& config) {
  config.mergeConfigs();
  auto live = encode(config.live);
  auto onDemand = encode(config.onDemand);
  if (!live || !onDemand) {
    std::cerr << "encodeFailed: " << (live ? onDemand.detail() : live.detail()) << "\n";
    return 1;
  }
  std::cout << R"({"live": )" << live.value() << R"(, "onDemand": )" << onDemand.value() << "}\n";
  return 0;
}

void usage() {
  std::cerr << "usage: telvora config FILE|URL [--channel ID] [--publisher ID] [--config-id ID]\n";
}

}  // namespace

int runConfigCommand(const std::vector<std::string>& args) {
  std::optional<std::string> source;
  SDKConfig identity("", "", "", std::nullopt, nullptr, std::nullopt);
  bool withIdentity = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string* field = arg == "--channel"     ? &identity.channelId
                         : arg == "--publisher" ? &identity.publisherId
                         : arg == "--config-id" ? &identity.configId
                                                : nullptr;
    if (field) {
      if (i + 1 == args.size()) return usage(), 2;
      *field = args[++i];
      withIdentity = true;
    } else if (!source && (arg.empty() || arg[0] != '-')) {
      source = arg;
    } else {
      return usage(), 2;
    }
  }
  if (!source) return usage(), 2;

  std::string url = sourceURL(*source);
  if (withIdentity) {
    std::optional<std::string> request = TelvoraConfigURL(identity, url).build();
    if (!request) {
      std::cerr << "urlNotFound: not a URL: " << url << "\n";
      return 1;
    }
    url = *request;
  }

  std::promise<ConfigProvider::LoadResult> answer;
  ConfigProvider(url).load(
      [&answer](ConfigProvider::LoadResult result) { answer.set_value(std::move(result)); });
  ConfigProvider::LoadResult result = answer.get_future().get();
  if (!result) {
    std::cerr << toString(result.error()) << ": " << result.detail() << "\n";
    return 1;
  }
  return printStreams(*result.value());
}

int runExampleConfigCheck() {
  std::cerr << "telvora: checking the bundled example configuration\n";
  auto decoded = decodeConfigData(kExampleConfig);
  if (!decoded) {
    std::cerr << "decodeFailed: " << decoded.detail() << "\n";
    return 1;
  }
  return printStreams(*decoded.value().data);
}

}  // namespace telvora::tool
