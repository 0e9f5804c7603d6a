#pragma once

#include <string_view>

namespace telvora::tool {

// resources/examples/config.json, compiled in.
extern const std::string_view kExampleConfig;

}  // namespace telvora::tool
