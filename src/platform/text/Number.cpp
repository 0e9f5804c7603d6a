#include "platform/text/Number.hpp"

#include <charconv>
#include <cmath>

namespace telvora {

std::string_view trimSpace(std::string_view text) {
  const auto isSpace = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
  };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isSpace(text[begin]))
    ++begin;
  while (end > begin && isSpace(text[end - 1]))
    --end;
  return text.substr(begin, end - begin);
}

std::optional<double> readNumber(std::string_view text) {
  text = trimSpace(text);
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace telvora
