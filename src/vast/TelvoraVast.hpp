#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace telvora {

// One ad of a VAST response: the text of its `Ad` element, unchanged, from
// the start tag through "</Ad>"; its duration in whole seconds; and a random
// identifier made for this record alone. Immutable, so it can be shared
// between threads; held as std::shared_ptr<const TelvoraVast>.
class TelvoraVast {
 public:
  TelvoraVast(std::string vast, std::int64_t duration);

  const std::string& vast() const { return vast_; }
  std::int64_t duration() const { return duration_; }
  const std::string& id() const { return id_; }

 private:
  std::string vast_;
  std::int64_t duration_;
  std::string id_;
};

using TelvoraVastList = std::vector<std::shared_ptr<const TelvoraVast>>;

}  // namespace telvora
