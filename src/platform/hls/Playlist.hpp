#pragma once

#include <telvora/Result.hpp>

#include <optional>
#include <string_view>
#include <vector>

namespace telvora::hls {

// One line of a playlist that is not blank and not a comment: a tag such as
// "#EXTINF:10.0," (name "#EXTINF", value "10.0,") or a URI line (no name, the
// URI as value). Views into the body, which the caller keeps alive.
struct Tag {
  std::optional<std::string_view> name;  // from the leading "#" up to the first ":"
  std::string_view value;                // after that ":", empty when there is none

  bool isURI() const { return !name; }
  friend bool operator==(const Tag&, const Tag&) = default;
};

enum class ParseError {
  notAPlaylist,  // does not start with #EXTM3U (segments, keys, error pages)
  empty,         // a header with neither variants nor segments nor media tags
};

// An HLS playlist read from its text.
//
// The reader takes what real packagers write: a UTF-8 byte-order mark, CRLF
// line ends, blank lines, indented lines, comments ("# ..."), unknown tags and
// a last line without a line feed. A body that does not begin with #EXTM3U is
// rejected after looking at its first bytes, so a media segment costs next to
// nothing. Stateless and thread-safe; the tags are views into the body.
struct Playlist {
  enum class Kind { master, media };

  Kind kind = Kind::media;
  std::vector<Tag> tags;  // file order, URI lines included; #EXTM3U itself left out

  static Result<Playlist, ParseError> parse(std::string_view body);

  // The kind alone, decided by the first tag that belongs to only one kind
  // (variant and rendition tags: master; segments and media tags: media).
  // Stops reading there, so it is cheap on any body.
  static Result<Kind, ParseError> classify(std::string_view body);

  // Whether a tag called `name` stands anywhere in the body as a line of its
  // own (not inside a comment or a URI). Reads at memory-search speed.
  static bool containsTag(std::string_view body, std::string_view name);
};

}  // namespace telvora::hls
