#include "platform/url/Url.hpp"

#include <cctype>

namespace telvora {
namespace {

bool isAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHex(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isUnreserved(char c) {
  return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}
bool isSubDelim(char c) {
  switch (c) {
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
      return true;
    default:
      return false;
  }
}

// Every character a URL may hold anywhere, '%' escapes checked separately.
bool isUrlChar(char c) {
  return isUnreserved(c) || isSubDelim(c) || c == ':' || c == '/' || c == '?' || c == '#' ||
         c == '[' || c == ']' || c == '@' || c == '%';
}

bool validEscapes(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isUrlChar(text[i])) return false;
    if (text[i] == '%') {
      if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
    }
  }
  return true;
}

bool validHost(std::string_view host) {
  if (!host.empty() && host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    for (char c : host.substr(1, host.size() - 2)) {
      if (!(isHex(c) || c == ':' || c == '.' || isUnreserved(c))) return false;
    }
    return true;
  }
  for (char c : host) {
    if (!(isUnreserved(c) || isSubDelim(c) || c == '%')) return false;
  }
  return true;
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text) {
  if (!validEscapes(text)) return std::nullopt;

  Url url;
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || !isAlpha(text[0])) return std::nullopt;
  for (char c : text.substr(0, colon)) {
    if (!(isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.')) return std::nullopt;
    url.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  std::string_view rest = text.substr(colon + 1);

  if (const std::size_t hash = rest.find('#'); hash != std::string_view::npos) {
    url.fragment = std::string(rest.substr(hash + 1));
    rest = rest.substr(0, hash);
  }
  if (const std::size_t question = rest.find('?'); question != std::string_view::npos) {
    url.query = std::string(rest.substr(question + 1));
    rest = rest.substr(0, question);
  }

  if (rest.substr(0, 2) == "//") {
    url.hasAuthority = true;
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);

    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
      url.userinfo = std::string(authority.substr(0, at));
      authority = authority.substr(at + 1);
    }
    std::string_view host = authority;
    const std::size_t bracket = authority.rfind(']');
    const std::size_t portColon = authority.rfind(':');
    if (portColon != std::string_view::npos &&
        (bracket == std::string_view::npos || portColon > bracket)) {
      std::string_view port = authority.substr(portColon + 1);
      for (char c : port) {
        if (!isDigit(c)) return std::nullopt;
      }
      url.port = std::string(port);
      host = authority.substr(0, portColon);
    }
    if (!validHost(host)) return std::nullopt;
    url.host = std::string(host);
  }
  if (rest.find_first_of("[]") != std::string_view::npos) return std::nullopt;
  url.path = std::string(rest);
  return url;
}

std::string Url::toString() const {
  std::string out = scheme + ":";
  if (hasAuthority) {
    out += "//";
    if (userinfo) out += *userinfo + "@";
    out += hostPort();
  }
  out += path;
  if (query) out += "?" + *query;
  if (fragment) out += "#" + *fragment;
  return out;
}

std::string Url::hostPort() const {
  return port ? host + ":" + *port : host;
}

std::string Url::hostName() const {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    return host.substr(1, host.size() - 2);
  }
  return host;
}

std::string percentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (isUnreserved(c)) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::string percentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2])) {
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string encodeQuery(const std::vector<QueryItem>& items) {
  std::string out;
  for (const auto& [name, value] : items) {
    if (!out.empty()) out += '&';
    out += percentEncode(name);
    if (value) out += "=" + percentEncode(*value);
  }
  return out;
}

}  // namespace telvora
