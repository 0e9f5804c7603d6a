// The telvora command-line tool: checks of configuration documents for app
// developers, playlist and VAST inspection for stream engineers, and (with no
// arguments) the check of the bundled example.

#include "ConfigCommand.hpp"
#include "ManifestCommand.hpp"
#include "VastCommand.hpp"

#include <iostream>
#include <string>
#include <vector>

namespace {

void usage(std::ostream& out) {
  out << "usage: telvora                     check the bundled example configuration\n"
         "       telvora config FILE|URL    load a configuration document and print the\n"
         "                                  completed live and onDemand settings\n"
         "       telvora manifest FILE|URL  read an HLS playlist and print its kind, live or\n"
         "                                  on demand, total duration and cue points (JSON)\n"
         "       telvora vast FILE|URL [--target SECONDS]\n"
         "                                  cut a VAST response into its ads; with a target,\n"
         "                                  show the pick for a break of that length (JSON)\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return telvora::tool::runExampleConfigCheck();

  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "config") return telvora::tool::runConfigCommand(rest);
  if (command == "manifest") return telvora::tool::runManifestCommand(rest);
  if (command == "vast") return telvora::tool::runVastCommand(rest);
  if (command == "help" || command == "--help" || command == "-h") {
    usage(std::cout);
    return 0;
  }
  std::cerr << "telvora: unknown command '" << command << "'\n";
  usage(std::cerr);
  return 2;
}
