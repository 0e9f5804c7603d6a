#pragma once

namespace telvora {

// The library's class-wide entry point. It holds no state; foo() does
// nothing. Kept for hosts that reference it.
class Telvora {
 public:
  static Telvora& shared();
  void foo() {}

 private:
  Telvora() = default;
};

}  // namespace telvora
