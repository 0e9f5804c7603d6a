#include "platform/text/Utf8.hpp"

#include <cstdint>
#include <cstring>

namespace telvora {

bool isValidUTF8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // Runs of ASCII, eight bytes at a time.
    while (i + 8 <= text.size()) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + i, sizeof word);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t point = 0;
    if (byte < 0x80) {
      ++i;
      continue;
    } else if ((byte & 0xE0) == 0xC0) {
      length = 2;
      point = byte & 0x1F;
    } else if ((byte & 0xF0) == 0xE0) {
      length = 3;
      point = byte & 0x0F;
    } else if ((byte & 0xF8) == 0xF0) {
      length = 4;
      point = byte & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

}  // namespace telvora
