#pragma once

#include <chrono>
#include <functional>

namespace telvora::test {

// Runs RunLoop::main() until `done` answers true or `timeout` of real time
// has passed; returns done(). `done` is looked at after every task and at
// least every 10 ms, so it may watch state that other threads change.
bool runMainUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(30));

}  // namespace telvora::test
