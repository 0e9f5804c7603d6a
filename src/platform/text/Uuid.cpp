#include "platform/text/Uuid.hpp"

#include <cstdint>
#include <random>

namespace telvora {

std::string randomUUID() {
  thread_local std::mt19937_64 random([] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    return std::mt19937_64(seed);
  }());
  std::uint64_t high = random();
  std::uint64_t low = random();
  high = (high & ~0xF000ull) | 0x4000ull;            // version 4
  low = (low & ~(0xC0ull << 56)) | (0x80ull << 56);  // RFC 4122 variant
  constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(36);
  const auto put = [&](std::uint64_t bits, int from, int to) {
    for (int nibble = from; nibble > to; --nibble)
      text += kHex[(bits >> (4 * (nibble - 1))) & 0xF];
  };
  put(high, 16, 8);
  text += '-';
  put(high, 8, 4);
  text += '-';
  put(high, 4, 0);
  text += '-';
  put(low, 16, 12);
  text += '-';
  put(low, 12, 0);
  return text;
}

}  // namespace telvora
