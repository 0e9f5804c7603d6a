#pragma once

#include <string>
#include <vector>

namespace telvora::tool {

// `telvora config FILE|URL [--channel ID] [--publisher ID] [--config-id ID]`:
// loads a configuration document through the library's loader, completes it
// from its defaults and prints {"live": {...}, "onDemand": {...}} on stdout.
// With identity options the request carries the query items a configuration
// server expects. Returns the process exit code: 0, 1 when the document
// cannot be loaded (the error and its reason on stderr), 2 on bad usage.
int runConfigCommand(const std::vector<std::string>& args);

// The same check of the bundled example document.
int runExampleConfigCheck();

}  // namespace telvora::tool
