#include "VastCommand.hpp"

#include "Source.hpp"

#include "platform/text/Number.hpp"
#include "vast/VASTLoader.hpp"
#include "vast/VASTManager.hpp"

#include <nlohmann/json.hpp>

#include <future>
#include <iostream>
#include <optional>

namespace telvora::tool {
namespace {

using Json = nlohmann::ordered_json;

int usage() {
  std::cerr << "usage: telvora vast FILE|URL [--target SECONDS]\n";
  return 2;
}

Json describe(const TelvoraVast& ad, bool withLength) {
  Json entry = {{"duration", ad.duration()}, {"id", ad.id()}};
  if (withLength) entry["length"] = ad.vast().size();
  return entry;
}

// The ads of a URL through the loader itself, so its status rules apply.
VASTLoader::LoadResult request(const std::string& url) {
  std::promise<VASTLoader::LoadResult> answer;
  VASTLoader([&answer](VASTLoader::LoadResult result) {
    answer.set_value(std::move(result));
  }).requestVAST(url);
  return answer.get_future().get();
}

}  // namespace

int runVastCommand(const std::vector<std::string>& args) {
  std::optional<std::string> source;
  std::optional<double> target;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--target") {
      if (i + 1 == args.size()) return usage();
      target = readNumber(args[++i]);
      if (!target) return usage();
    } else if (!source && !args[i].empty() && args[i][0] != '-') {
      source = args[i];
    } else {
      return usage();
    }
  }
  if (!source) return usage();

  TelvoraVastList ads;
  if (isWebURL(*source)) {
    VASTLoader::LoadResult result = request(*source);
    if (!result) {
      std::cerr << toString(result.error()) << ": " << result.detail() << "\n";
      return 1;
    }
    ads = std::move(result.value().ads);
  } else {
    const Source file = loadSource(*source);
    if (!file.body) {
      std::cerr << file.error << "\n";
      return 1;
    }
    ads = VASTLoader::readAds(*file.body);
  }

  Json out = {{"ads", Json::array()}};
  for (const auto& ad : ads)
    out["ads"].push_back(describe(*ad, true));
  if (target) {
    VASTManager pool;
    pool.append(ads);
    pool.sortLongestFirst();
    pool.findBest(*target);
    out["target"] = *target;
    out["order"] = Json::array();
    for (const auto& ad : pool.telvoraVast())
      out["order"].push_back(describe(*ad, false));
    out["document"] = pool.getBestVast();
  }
  std::cout << out.dump(-1, ' ', false, Json::error_handler_t::replace) << "\n";
  return 0;
}

}  // namespace telvora::tool
