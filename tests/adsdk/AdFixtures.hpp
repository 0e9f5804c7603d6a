#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace telvora::test {

// tests/fixtures/adsdk/`name`, with every "{{SERVER}}" replaced by `server`.
inline std::string adFixture(std::string_view name, std::string_view server = "{{SERVER}}") {
  std::ifstream file(std::string(TELVORA_FIXTURES_DIR) + "/adsdk/" + std::string(name));
  std::stringstream text;
  text << file.rdbuf();
  std::string document = text.str();
  constexpr std::string_view kPlaceholder = "{{SERVER}}";
  for (std::size_t at = document.find(kPlaceholder); at != std::string::npos;
       at = document.find(kPlaceholder, at + server.size())) {
    document.replace(at, kPlaceholder.size(), server);
  }
  return document;
}

// A VAST document around `ad`, the text of one Ad element.
inline std::string vastWith(std::string_view ad) {
  return "<VAST version=\"4.0\">" + std::string(ad) + "</VAST>";
}

}  // namespace telvora::test
