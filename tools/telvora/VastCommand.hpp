#pragma once

#include <string>
#include <vector>

namespace telvora::tool {

// `telvora vast FILE|URL [--target SECONDS]`: prints, as one JSON object,
// the single ads the library cuts from a VAST response; with a target, also
// the order a break of that many seconds would pick them in, and the
// document handed to the video-ad SDK for the first.
int runVastCommand(const std::vector<std::string>& args);

}  // namespace telvora::tool
