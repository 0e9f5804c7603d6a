#pragma once

#include <string>
#include <vector>

namespace telvora::tool {

// `telvora manifest FILE|URL`: prints, as one JSON object, what the library
// makes of a playlist: its kind, live or on demand, its total duration and
// its cue points.
int runManifestCommand(const std::vector<std::string>& args);

}  // namespace telvora::tool
