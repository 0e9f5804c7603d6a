#pragma once

#include "platform/Bytes.hpp"

#include <string>

namespace telvora::tool {

// The bytes of a file path, file:// URL or http(s) URL (2xx answers only),
// or why there are none, as "kind: detail".
struct Source {
  Bytes body;
  std::string error;
};

Source readFile(const std::string& path);
Source loadSource(const std::string& argument);
bool isWebURL(const std::string& argument);

}  // namespace telvora::tool
