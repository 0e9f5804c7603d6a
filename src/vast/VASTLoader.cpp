#include "vast/VASTLoader.hpp"

#include "platform/http/HttpClient.hpp"
#include "platform/text/Number.hpp"
#include "platform/text/Utf8.hpp"
#include "platform/url/Url.hpp"

#include <re2/re2.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace telvora {
namespace {

// An `Ad` element: its start tag (with or without attributes, which may run
// over several lines) through the first "</Ad>" after it. An element whose
// name merely begins with "Ad" (AdSystem, AdTitle) never matches.
constexpr std::string_view kAdPattern = R"(<Ad(?:\s[^>]*)?>[\s\S]*?</Ad>)";
constexpr std::string_view kDurationPattern = R"(<Duration>([\s\S]*?)</Duration>)";
// The start tag part of kAdPattern; the rest, `[\s\S]*?</Ad>`, is "up to the
// first </Ad>", which a substring search finds faster than any engine.
constexpr std::string_view kAdStartTagPattern = R"(<Ad(?:\s[^>]*)?>)";

// Durations beyond this are no real ad; the cap keeps sums of many ads in
// 64 bits.
constexpr double kLongestAd = 1e12;

std::unique_ptr<RE2> compile(std::string_view pattern) {
  RE2::Options options;
  options.set_log_errors(false);
  auto re = std::make_unique<RE2>(re2::StringPiece(pattern.data(), pattern.size()), options);
  if (!re->ok()) {
    std::cout << "invalid regex: " << re->error() << std::endl;
    return nullptr;
  }
  return re;
}

const RE2* compiled(std::string_view pattern) {
  static const auto startTag = compile(kAdStartTagPattern);
  static const auto duration = compile(kDurationPattern);
  return pattern == kAdStartTagPattern ? startTag.get() : duration.get();
}

std::string_view view(const re2::StringPiece& piece) {
  return {piece.data(), piece.size()};
}

// The first occurrence of `needle` at or after a position, for positions
// that only grow: each search starts where the last one ended, so a whole
// walk over the text reads it once.
class ForwardSearch {
 public:
  ForwardSearch(std::string_view text, std::string_view needle) : text_(text), needle_(needle) {}

  std::size_t from(std::size_t position) {
    if (found_ == std::string_view::npos && searched_) return found_;
    if (!searched_ || (found_ < position)) found_ = text_.find(needle_, position);
    searched_ = true;
    return found_;
  }

 private:
  std::string_view text_;
  std::string_view needle_;
  std::size_t found_ = std::string_view::npos;
  bool searched_ = false;
};

bool isRegexSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// The Ad elements of `text`, exactly as kAdPattern finds them, in linear
// time. A substring search finds each candidate "<Ad"; forward-only searches
// for the start tag's ">" and the "</Ad>" after it rule out, in one pass over
// the text, candidates that cannot match (a text full of unclosed tags costs
// no more than that pass); RE2 confirms the start tag anchored at the
// candidate, and the element runs to the first "</Ad>" after it.
std::vector<std::string_view> adElements(const RE2& startTag, std::string_view text) {
  constexpr std::string_view kEndTag = "</Ad>";
  std::vector<std::string_view> found;
  ForwardSearch tagEnd(text, ">");
  ForwardSearch elementEnd(text, kEndTag);
  const re2::StringPiece whole(text.data(), text.size());
  std::size_t at = text.find("<Ad");
  while (at != std::string_view::npos) {
    const std::size_t after = at + 3;
    if (after < text.size() && (text[after] == '>' || isRegexSpace(text[after]))) {
      if (tagEnd.from(after) == std::string_view::npos) break;  // no later tag can end either
      re2::StringPiece tag;
      if (startTag.Match(whole, at, whole.size(), RE2::ANCHOR_START, &tag, 1)) {
        const std::size_t end = elementEnd.from(at + tag.size());
        if (end == std::string_view::npos) break;  // nor can any later element
        found.push_back(text.substr(at, end + kEndTag.size() - at));
        at = text.find("<Ad", end + kEndTag.size());
        continue;
      }
    }
    at = text.find("<Ad", at + 1);
  }
  return found;
}

// Every match of `re`, for any pattern.
std::vector<std::string_view> allMatches(const RE2& re, std::string_view text) {
  std::vector<std::string_view> found;
  const re2::StringPiece whole(text.data(), text.size());
  re2::StringPiece match;
  std::size_t from = 0;
  while (from <= text.size() && re.Match(whole, from, whole.size(), RE2::UNANCHORED, &match, 1)) {
    found.push_back(view(match));
    const auto end = static_cast<std::size_t>(match.data() - text.data()) + match.size();
    from = match.empty() ? end + 1 : end;
  }
  return found;
}

// The content of the first Duration element of an ad, as kDurationPattern
// captures it.
std::optional<std::string_view> firstDuration(std::string_view ad) {
  const RE2* re = compiled(kDurationPattern);
  const std::size_t at = ad.find("<Duration>");
  if (!re || at == std::string_view::npos) return std::nullopt;
  // Lazy up to the first end tag: where one follows, this candidate matches;
  // where none does, no later one can.
  if (ad.find("</Duration>", at) == std::string_view::npos) return std::nullopt;
  re2::StringPiece groups[2];
  const re2::StringPiece whole(ad.data(), ad.size());
  if (!re->Match(whole, at, whole.size(), RE2::ANCHOR_START, groups, 2)) return std::nullopt;
  return view(groups[1]);
}

// A Duration component as a number; 0 when it is none. Fractions are
// rounded to the nearest whole number.
double component(std::string_view text) {
  const std::optional<double> value = readNumber(text);
  if (!value || *value < 0) return 0;
  return std::round(std::min(*value, kLongestAd));
}

}  // namespace

VASTLoader::VASTLoader(Completion completion, std::shared_ptr<HttpClient> session)
    : completion_(std::make_shared<const Completion>(std::move(completion))),
      session_(session ? std::move(session) : HttpClient::shared()) {}

void VASTLoader::requestVAST(const std::string& url, bool reserveRequest) const {
  const std::optional<Url> parsed = Url::parse(url);
  if (!parsed || (parsed->scheme != "http" && parsed->scheme != "https") || parsed->host.empty()) {
    (*completion_)(LoadResult::failure(Error::uknownError, "not an http(s) URL: " + url));
    return;
  }
  HttpRequest request;
  request.url = url;
  request.maxBodySize = kMaxResponseSize;
  session_->dataTask(std::move(request), [completion = completion_, reserveRequest](
                                             Bytes body, std::optional<HttpResponse> response,
                                             std::optional<HttpError> error) {
    if (!response) {
      (*completion)(
          LoadResult::failure(Error::uknownError, error ? error->message : "no response"));
    } else if (response->statusCode < 200 || response->statusCode >= 300) {
      (*completion)(LoadResult::failure(Error::httpError,
                                        "HTTP status " + std::to_string(response->statusCode)));
    } else if (!body) {
      (*completion)(LoadResult::failure(Error::decodeFailed, error ? error->message : "no body"));
    } else {
      (*completion)(LoadResult::success(Loaded{readAds(*body), reserveRequest}));
    }
  });
}

void VASTLoader::parseResponse(std::string_view data, bool reserveRequest) const {
  (*completion_)(LoadResult::success(Loaded{readAds(data), reserveRequest}));
}

std::vector<std::string_view> VASTLoader::matches(std::string_view pattern, std::string_view text) {
  if (pattern == kAdPattern) {
    const RE2* re = compiled(kAdStartTagPattern);
    return re ? adElements(*re, text) : std::vector<std::string_view>{};
  }
  const std::unique_ptr<RE2> re = compile(pattern);
  if (!re) return {};
  return allMatches(*re, text);
}

TelvoraVastList VASTLoader::readAds(std::string_view data) {
  const std::string_view text = isValidUTF8(data) ? data : std::string_view();
  TelvoraVastList ads;
  for (std::string_view ad : matches(kAdPattern, text)) {
    const std::optional<std::string_view> duration = firstDuration(ad);
    const std::int64_t seconds = duration ? durationSeconds(*duration) : 3;
    ads.push_back(std::make_shared<const TelvoraVast>(std::string(ad), seconds));
  }
  return ads;
}

std::int64_t VASTLoader::durationSeconds(std::string_view text) {
  text = trimSpace(text);
  constexpr std::string_view kOpen = "<![CDATA[";
  constexpr std::string_view kClose = "]]>";
  if (text.starts_with(kOpen) && text.ends_with(kClose) &&
      text.size() >= kOpen.size() + kClose.size()) {
    text = text.substr(kOpen.size(), text.size() - kOpen.size() - kClose.size());
  }
  // hours:minutes:seconds, read from the end; empty components do not count.
  double seconds = 0;
  double scale = 1;
  int position = 0;
  while (!text.empty() && position < 3) {
    const std::size_t colon = text.rfind(':');
    const std::string_view part = colon == std::string_view::npos ? text : text.substr(colon + 1);
    text = colon == std::string_view::npos ? std::string_view() : text.substr(0, colon);
    if (part.empty()) continue;
    seconds += component(part) * scale;
    scale *= 60;
    ++position;
  }
  return static_cast<std::int64_t>(std::min(seconds, kLongestAd));
}

std::string_view toString(VASTLoader::Error error) {
  switch (error) {
    case VASTLoader::Error::decodeFailed:
      return "decodeFailed";
    case VASTLoader::Error::emptyResponse:
      return "emptyResponse";
    case VASTLoader::Error::httpError:
      return "httpError";
    case VASTLoader::Error::uknownError:
      return "uknownError";
  }
  return "uknownError";
}

}  // namespace telvora
