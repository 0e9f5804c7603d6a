#include "manifest/ManifestParser.hpp"

#include "manifest/CueTagValues.hpp"
#include "platform/hls/Playlist.hpp"
#include "platform/text/Utf8.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace telvora {
namespace {

constexpr std::string_view kCueOutCont = "#EXT-X-CUE-OUT-CONT";

// Adds a break unless the last one added starts in the same whole second: the
// CUE-OUT and the CUE-OUT-CONT tags of one break give one cue point.
void addCandidate(std::vector<CuePoint>& breaks, CuePoint candidate) {
  if (!breaks.empty() && std::floor(candidate.timeStart) == std::floor(breaks.back().timeStart))
    return;
  breaks.push_back(candidate);
}

// Ends each break at the last CUE-IN between its own end and its start.
// `markers` are in backward-walk order, so their times never decrease
// (segment durations are never negative), and that CUE-IN is the last marker
// at or before the break's start.
void closeBreaks(std::vector<CuePoint>& breaks, const std::vector<CuePoint>& markers) {
  for (CuePoint& cue : breaks) {
    auto after = std::upper_bound(
        markers.begin(), markers.end(), cue.timeStart,
        [](double time, const CuePoint& marker) { return time < marker.timeStart; });
    if (after == markers.begin()) continue;
    const CuePoint& marker = *std::prev(after);
    if (cue.timeEnd <= marker.timeStart) cue.timeEnd = marker.timeEnd;
  }
}

}  // namespace

std::string_view ManifestParser::rawValue(Tags tag) {
  switch (tag) {
    case Tags::EXT_X_CUE_OUT:
      return "#EXT-X-CUE-OUT";
    case Tags::EXTINF:
      return "#EXTINF";
    case Tags::EXT_X_ENDLIST:
      return "#EXT-X-ENDLIST";
    case Tags::EXT_X_CUE_IN:
      return "#EXT-X-CUE-IN";
  }
  return {};
}

void ManifestParser::setPlayListData(Bytes data) {
  playListData_ = std::move(data);
  getAdsRange();
}

void ManifestParser::getAdsRange() {
  if (!playListData_) return;
  auto parsed = hls::Playlist::parse(*playListData_);
  if (!parsed || parsed.value().kind != hls::Playlist::Kind::media) return;

  double counter = 0;
  std::vector<CuePoint> breaks;
  std::vector<CuePoint> markers;
  const std::vector<hls::Tag>& tags = parsed.value().tags;
  for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) {
    if (!tag->name) continue;
    const std::string_view name = *tag->name;
    if (name == rawValue(Tags::EXTINF)) {
      counter += manifest::extinfDuration(tag->value);
    } else if (name == rawValue(Tags::EXT_X_CUE_OUT)) {
      const double duration = manifest::cueOutDuration(tag->value);
      addCandidate(breaks, CuePoint(counter, counter - duration, CuePoint::CuePointType::startAdd));
    } else if (name == rawValue(Tags::EXT_X_CUE_IN)) {
      markers.emplace_back(counter, counter, CuePoint::CuePointType::endAdd);
    } else if (name == kCueOutCont) {
      // The tag carries how far the break has run and its full length, so a
      // break still under way at the playlist's end ends where its length
      // says: start minus duration, as for CUE-OUT. A CUE-IN of the same
      // break, when the playlist has one, replaces that end below.
      const manifest::CueOutCont cont = manifest::readCueOutCont(tag->value);
      const double start = counter + cont.elapsed.value_or(0);
      addCandidate(breaks, CuePoint(start, start - cont.duration.value_or(0),
                                    CuePoint::CuePointType::startAdd));
    }
  }
  closeBreaks(breaks, markers);

  timeCounter_ = counter;
  const bool first = !cuePoints_;
  cuePoints_ = std::move(breaks);
  if (first && manifestParsed) manifestParsed(*cuePoints_, timeCounter_);
}

void ManifestParser::updateManifest() {
  if (cuePoints_ && manifestParsed) manifestParsed(*cuePoints_, timeCounter_);
}

std::optional<VideoType> ManifestParser::checkVideoType(std::string_view data) {
  auto kind = hls::Playlist::classify(data);
  if (!kind || kind.value() != hls::Playlist::Kind::media) return std::nullopt;
  // An #EXT-X-ENDLIST anywhere closes the playlist: on-demand playlists may
  // carry tags after it.
  if (hls::Playlist::containsTag(data, rawValue(Tags::EXT_X_ENDLIST))) return VideoType::vod;
  return VideoType::live;
}

Bytes ManifestParser::updateMasterManifest(std::string_view host, const Bytes& data,
                                           std::string_view replaceURL) {
  if (!data || host.empty()) return data;
  auto kind = hls::Playlist::classify(*data);
  if (!kind || kind.value() != hls::Playlist::Kind::master) return data;
  const std::string_view text = *data;
  if (!isValidUTF8(text)) return data;

  constexpr std::string_view kSecure = "https://";
  std::string rewritten;
  rewritten.reserve(text.size() + text.size() / 8);
  std::size_t copied = 0;
  bool replaced = false;
  for (std::size_t at = text.find(host); at != std::string_view::npos;
       at = text.find(host, at + host.size())) {
    std::size_t keep = at;
    // The proxy serves plain http: an https URL on the origin must not send
    // the player into a TLS handshake with it.
    if (at >= copied + kSecure.size() &&
        text.substr(at - kSecure.size(), kSecure.size()) == kSecure) {
      keep = at - kSecure.size();
    }
    rewritten.append(text.substr(copied, keep - copied));
    if (keep != at) rewritten.append("http://");
    rewritten.append(replaceURL);
    copied = at + host.size();
    replaced = true;
  }
  if (!replaced) return data;
  rewritten.append(text.substr(copied));
  return std::make_shared<const std::string>(std::move(rewritten));
}

}  // namespace telvora
