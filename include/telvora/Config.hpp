#pragma once

#include <telvora/StreamConfig.hpp>

#include <memory>
#include <optional>

namespace telvora {

// An app's ad configuration: settings for live and on-demand streams, and the
// defaults they are completed from. Shared by reference
// (std::shared_ptr<Config>): mergeConfigs() completes it in place for everyone
// holding it. Not synchronised: it is read and written on the main queue.
class Config {
 public:
  Config(StreamConfig default_, StreamConfig live, StreamConfig onDemand)
      : default_(std::move(default_)), live(std::move(live)), onDemand(std::move(onDemand)) {}

  // Never used by itself: it supplies the top-level keys live and onDemand
  // lack. Fixed at creation.
  const StreamConfig default_;
  StreamConfig live;
  StreamConfig onDemand;

  // Completes live and onDemand from default_, key by key at the top level
  // only: a nested object or array live has stays whole. Calling it again
  // changes nothing.
  void mergeConfigs();

  // `config` completed from default_ the same way, or nullopt when that fails.
  std::optional<StreamConfig> merge(const StreamConfig& config) const;
};

// The root of a configuration document: {"data": {...}}.
struct ConfigData {
  std::shared_ptr<Config> data;

  explicit ConfigData(std::shared_ptr<Config> data) : data(std::move(data)) {}
};

}  // namespace telvora
