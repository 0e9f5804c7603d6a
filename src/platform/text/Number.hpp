#pragma once

#include <optional>
#include <string_view>

namespace telvora {

// `text` without the white space (spaces, tabs, CR, LF, VT, FF) at either end.
std::string_view trimSpace(std::string_view text);

// A finite decimal number ("30", "-2.5", "+1e3"), white space around it
// allowed; nothing for anything else, "inf" and "nan" included.
std::optional<double> readNumber(std::string_view text);

}  // namespace telvora
