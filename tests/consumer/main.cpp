// A host app in miniature, built against the installed package.
#include <telvora/ConfigCoding.hpp>
#include <telvora/TelvoraSession.hpp>
#include <telvora/platform/RunLoop.hpp>

#include <chrono>
#include <iostream>

int main() {
  auto config =
      telvora::decodeConfig(R"({"default": {"prerollPods": 1}, "live": {}, "onDemand": {}})");
  if (!config) {
    std::cerr << config.detail() << "\n";
    return 1;
  }
  auto session = telvora::TelvoraSession::create(
      telvora::SDKConfig("channel", "publisher", "config", std::nullopt, config.value(),
                         std::nullopt),
      [] {});
  std::string played;
  session->prepareURL("https://cdn.example.com/live.m3u8",
                      [&](auto result) { played = result ? result.value() : "error"; });
  telvora::RunLoop::main().runUntil([&] { return !played.empty(); }, std::chrono::seconds(10));
  std::cout << played << "\n";
  return played == "http://localhost:8080/live.m3u8" ? 0 : 1;
}
