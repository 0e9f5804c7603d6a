#pragma once

// The files of resources/ui/, compiled into the library by the build (see
// InterfaceFiles.cpp.in); Bundle::compiledIn() serves them.

#include <string_view>
#include <vector>

namespace telvora::detail {

struct EmbeddedFile {
  std::string_view name;  // "SkipView.json"
  std::string_view contents;
};

const std::vector<EmbeddedFile>& embeddedInterfaceFiles();

}  // namespace telvora::detail
