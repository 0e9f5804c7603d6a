#include "support/MainLoop.hpp"

#include <telvora/platform/RunLoop.hpp>

namespace telvora::test {

bool runMainUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    RunLoop::main().runUntil(done, std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace telvora::test
