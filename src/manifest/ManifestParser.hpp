#pragma once

#include <telvora/VideoType.hpp>

#include "manifest/CuePoint.hpp"
#include "platform/Bytes.hpp"

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace telvora {

// Reads the HLS playlists that pass through the stream proxy: whether the
// stream is live or on demand, the total duration of the latest media
// playlist, and the ad breaks its cue tags mark.
//
// The session owns one for its whole life and feeds it every body the proxy
// serves through setPlayListData(), on the main queue; the results are
// refreshed by each media playlist and left alone by anything else (master
// playlists, segments, error pages). checkVideoType() and
// updateMasterManifest() touch no state and may run on any thread.
class ManifestParser {
 public:
  enum class Tags { EXT_X_CUE_OUT, EXTINF, EXT_X_ENDLIST, EXT_X_CUE_IN };
  static std::string_view rawValue(Tags tag);

  // Receives the cue points and the playlist's total duration in seconds.
  using ManifestParsed = std::function<void(const std::vector<CuePoint>&, double)>;

  ManifestParser() = default;

  // Called with the first media playlist ever read (from getAdsRange()) and
  // on every updateManifest() once there are cue points. Installed by the
  // session for live streams and by the cue-point behaviour.
  ManifestParsed manifestParsed;

  // The latest body; setting it runs getAdsRange().
  const Bytes& playListData() const { return playListData_; }
  void setPlayListData(Bytes data);

  // The breaks of the latest media playlist, nearest the playlist's end
  // first; absent until the first media playlist.
  const std::optional<std::vector<CuePoint>>& cuePoints() const { return cuePoints_; }
  // The latest media playlist's total duration in seconds.
  double timeCounter() const { return timeCounter_; }

  // Recomputes cuePoints and timeCounter from playListData when it is a media
  // playlist; changes nothing otherwise.
  void getAdsRange();

  // Hands the current cue points and total duration to manifestParsed, when
  // both are there.
  void updateManifest();

  // vod or live for a media playlist, none for anything else.
  static std::optional<VideoType> checkVideoType(std::string_view data);

  // For a master playlist, the text with every occurrence of `host` replaced
  // by `replaceURL`, and "https://" before it turned into "http://" (the
  // proxy speaks plain http). Anything else comes back unchanged, as the same
  // bytes.
  static Bytes updateMasterManifest(std::string_view host, const Bytes& data,
                                    std::string_view replaceURL);

 private:
  Bytes playListData_;
  std::optional<std::vector<CuePoint>> cuePoints_;
  double timeCounter_ = 0;
};

}  // namespace telvora
