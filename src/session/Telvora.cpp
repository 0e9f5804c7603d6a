#include <telvora/Telvora.hpp>

namespace telvora {

Telvora& Telvora::shared() {
  static Telvora instance;
  return instance;
}

}  // namespace telvora
