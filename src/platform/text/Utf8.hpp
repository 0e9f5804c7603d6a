#pragma once

#include <string_view>

namespace telvora {

// Whether `text` is well-formed UTF-8: no stray continuation bytes, no
// truncated or overlong sequences, no surrogates, nothing above U+10FFFF.
bool isValidUTF8(std::string_view text);

}  // namespace telvora
