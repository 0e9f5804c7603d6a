#include "manifest/CueTagValues.hpp"

#include "platform/text/Number.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace telvora::manifest {
namespace {

// The parts of `text` between `separator`s, empty parts left out.
std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  while (!text.empty()) {
    const std::size_t at = text.find(separator);
    std::string_view part = text.substr(0, at);
    if (!part.empty()) parts.push_back(part);
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  return parts;
}

std::string without(std::string_view text, std::string_view removed) {
  std::string result;
  result.reserve(text.size());
  while (!text.empty()) {
    const std::size_t at = removed.empty() ? std::string_view::npos : text.find(removed);
    result.append(text.substr(0, at));
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + removed.size());
  }
  return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The value of attribute `name` in a NAME=VALUE,... list, quotes removed;
// commas inside quoted values do not split.
std::optional<std::string_view> attribute(std::string_view list, std::string_view name) {
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= list.size(); ++i) {
    if (i < list.size() && list[i] == '"') quoted = !quoted;
    if (i < list.size() && (quoted || list[i] != ',')) continue;
    const std::string_view part = list.substr(start, i - start);
    start = i + 1;
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) continue;
    if (!equalsIgnoringCase(trimSpace(part.substr(0, equals)), name)) continue;
    std::string_view value = trimSpace(part.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    return value;
  }
  return std::nullopt;
}

}  // namespace

double extinfDuration(std::string_view value) {
  const double duration = readNumber(value.substr(0, value.find(','))).value_or(0);
  return duration > 0 ? duration : 0;  // a segment cannot last less than nothing
}

double cueOutDuration(std::string_view value) {
  if (std::optional<double> plain = readNumber(without(value, ","))) return *plain;
  if (std::optional<std::string_view> attributeValue = attribute(value, "DURATION")) {
    if (std::optional<double> duration = readNumber(*attributeValue)) return *duration;
  }
  return readNumber(value.substr(0, value.find(','))).value_or(0);
}

CueOutCont readCueOutCont(std::string_view value) {
  CueOutCont result;
  const std::vector<std::string_view> parts = split(value, ',');
  if (parts.size() < 2) {
    const std::vector<std::string_view> fraction = split(value, '/');
    if (fraction.size() > 1) {
      result.elapsed = readNumber(fraction[0]);
      result.duration = readNumber(fraction[1]);
    }
    return result;
  }
  for (std::string_view part : parts) {
    if (part.find("ElapsedTime") != std::string_view::npos)
      result.elapsed = readNumber(without(part, "ElapsedTime="));
    if (part.find("Duration") != std::string_view::npos)
      result.duration = readNumber(without(part, "Duration="));
  }
  return result;
}

}  // namespace telvora::manifest
