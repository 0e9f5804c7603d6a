#include "platform/hls/Playlist.hpp"

#include "platform/text/Number.hpp"

#include <array>
#include <cstring>

namespace telvora::hls {
namespace {

constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Walks the lines of a body, trimmed, one at a time.
class Lines {
 public:
  explicit Lines(std::string_view body) : rest_(body) {}

  bool next(std::string_view& line) {
    while (!rest_.empty()) {
      const void* found = std::memchr(rest_.data(), '\n', rest_.size());
      const std::size_t length =
          found ? static_cast<std::size_t>(static_cast<const char*>(found) - rest_.data())
                : rest_.size();
      line = trimSpace(rest_.substr(0, length));
      rest_.remove_prefix(found ? length + 1 : length);
      if (!line.empty()) return true;
    }
    return false;
  }

 private:
  std::string_view rest_;
};

// The lines after the header, or nothing when the body is no playlist. Looks
// only at the first bytes of a body that is none.
std::optional<Lines> bodyLines(std::string_view body) {
  if (body.starts_with(kByteOrderMark)) body.remove_prefix(kByteOrderMark.size());
  while (!body.empty() && (isSpace(body.front()) || body.front() == '\n'))
    body.remove_prefix(1);
  if (!body.starts_with(kHeader)) return std::nullopt;
  body.remove_prefix(kHeader.size());
  while (!body.empty() && body.front() != '\n') {
    if (!isSpace(body.front())) return std::nullopt;  // "#EXTM3UX"
    body.remove_prefix(1);
  }
  return Lines(body);
}

// A tag line split into name and value; a URI line; or nothing for a comment.
std::optional<Tag> readTag(std::string_view line) {
  if (line.front() != '#') return Tag{std::nullopt, line};
  if (!line.starts_with("#EXT")) return std::nullopt;
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return Tag{line, {}};
  return Tag{line.substr(0, colon), line.substr(colon + 1)};
}

constexpr std::array<std::string_view, 6> kMasterTags = {
    "#EXT-X-STREAM-INF",   "#EXT-X-MEDIA",       "#EXT-X-I-FRAME-STREAM-INF",
    "#EXT-X-SESSION-DATA", "#EXT-X-SESSION-KEY", "#EXT-X-CONTENT-STEERING"};

constexpr std::array<std::string_view, 23> kMediaTags = {"#EXTINF",
                                                         "#EXT-X-TARGETDURATION",
                                                         "#EXT-X-MEDIA-SEQUENCE",
                                                         "#EXT-X-DISCONTINUITY-SEQUENCE",
                                                         "#EXT-X-ENDLIST",
                                                         "#EXT-X-PLAYLIST-TYPE",
                                                         "#EXT-X-I-FRAMES-ONLY",
                                                         "#EXT-X-BYTERANGE",
                                                         "#EXT-X-DISCONTINUITY",
                                                         "#EXT-X-KEY",
                                                         "#EXT-X-MAP",
                                                         "#EXT-X-PROGRAM-DATE-TIME",
                                                         "#EXT-X-GAP",
                                                         "#EXT-X-BITRATE",
                                                         "#EXT-X-PART",
                                                         "#EXT-X-PART-INF",
                                                         "#EXT-X-SERVER-CONTROL",
                                                         "#EXT-X-SKIP",
                                                         "#EXT-X-PRELOAD-HINT",
                                                         "#EXT-X-RENDITION-REPORT",
                                                         "#EXT-X-CUE-OUT",
                                                         "#EXT-X-CUE-OUT-CONT",
                                                         "#EXT-X-CUE-IN"};

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
  for (std::string_view candidate : names)
    if (name == candidate) return true;
  return false;
}

// The kind a tag shows, if it shows one. A URI line met before any variant
// tag is a segment.
std::optional<Playlist::Kind> kindOf(const Tag& tag) {
  if (!tag.name) return Playlist::Kind::media;
  if (isOneOf(*tag.name, kMediaTags)) return Playlist::Kind::media;
  if (isOneOf(*tag.name, kMasterTags)) return Playlist::Kind::master;
  return std::nullopt;
}

Result<Playlist, ParseError> notAPlaylist() {
  return Result<Playlist, ParseError>::failure(ParseError::notAPlaylist,
                                               "the body does not start with #EXTM3U");
}

Result<Playlist, ParseError> emptyPlaylist() {
  return Result<Playlist, ParseError>::failure(ParseError::empty,
                                               "the playlist has neither variants nor segments");
}

}  // namespace

Result<Playlist, ParseError> Playlist::parse(std::string_view body) {
  std::optional<Lines> lines = bodyLines(body);
  if (!lines) return notAPlaylist();
  Playlist playlist;
  playlist.tags.reserve(body.size() / 32);
  std::optional<Kind> kind;
  std::string_view line;
  while (lines->next(line)) {
    std::optional<Tag> tag = readTag(line);
    if (!tag) continue;
    if (!kind) kind = kindOf(*tag);
    playlist.tags.push_back(*tag);
  }
  if (!kind) return emptyPlaylist();
  playlist.kind = *kind;
  return Result<Playlist, ParseError>::success(std::move(playlist));
}

Result<Playlist::Kind, ParseError> Playlist::classify(std::string_view body) {
  using KindResult = Result<Kind, ParseError>;
  std::optional<Lines> lines = bodyLines(body);
  if (!lines) return notAPlaylist().forwardFailure<Kind>();
  std::string_view line;
  while (lines->next(line)) {
    std::optional<Tag> tag = readTag(line);
    if (!tag) continue;
    if (std::optional<Kind> kind = kindOf(*tag)) return KindResult::success(*kind);
  }
  return emptyPlaylist().forwardFailure<Kind>();
}

bool Playlist::containsTag(std::string_view body, std::string_view name) {
  if (name.empty()) return false;
  for (std::size_t at = body.find(name); at != std::string_view::npos;
       at = body.find(name, at + 1)) {
    // Only white space between the line's start and the name...
    std::size_t before = at;
    while (before > 0 && isSpace(body[before - 1]))
      --before;
    if (before > 0 && body[before - 1] != '\n') continue;
    // ...and after it a ":" or only white space up to the line's end.
    std::size_t after = at + name.size();
    if (after < body.size() && body[after] == ':') return true;
    while (after < body.size() && isSpace(body[after]))
      ++after;
    if (after == body.size() || body[after] == '\n') return true;
  }
  return false;
}

}  // namespace telvora::hls
