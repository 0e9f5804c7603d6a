#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace telvora {

// A URL split into its parts (RFC 3986), keeping the text of each part as it
// was written, so that a URL put back together with toString() is the text it
// came from.
//
// parse() refuses what is not a URL: no scheme, a character outside the URL
// character set (space, control characters, non-ASCII, '"', '<', '>', '\',
// '^', '`', '{', '|', '}'), a '%' not followed by two hex digits, a port that
// is not a number, or a malformed host.
struct Url {
  std::string scheme;  // lower case
  bool hasAuthority = false;
  std::optional<std::string> userinfo;
  std::string host;  // as written; an IPv6 literal keeps its brackets
  std::optional<std::string> port;
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;

  static std::optional<Url> parse(std::string_view text);

  std::string toString() const;
  // host[:port] as written, without userinfo: the authority the proxy takes
  // over.
  std::string hostPort() const;
  // The host name without the brackets of an IPv6 literal.
  std::string hostName() const;
};

// A query of name/value items, each percent-encoded (everything but the
// unreserved characters A-Z a-z 0-9 - . _ ~), joined by "&". An item without a
// value is written as its name alone.
using QueryItem = std::pair<std::string, std::optional<std::string>>;
std::string encodeQuery(const std::vector<QueryItem>& items);

std::string percentEncode(std::string_view text);
// Decodes %XX escapes; a malformed escape is kept as it stands.
std::string percentDecode(std::string_view text);

}  // namespace telvora
