#include "vast/TelvoraVast.hpp"

#include "platform/text/Uuid.hpp"

namespace telvora {

TelvoraVast::TelvoraVast(std::string vast, std::int64_t duration)
    : vast_(std::move(vast)), duration_(duration), id_(randomUUID()) {}

}  // namespace telvora
