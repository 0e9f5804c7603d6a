#pragma once

#include <memory>
#include <string>

namespace telvora {

// Body bytes, shared rather than copied between whoever reads them.
using Bytes = std::shared_ptr<const std::string>;

}  // namespace telvora
