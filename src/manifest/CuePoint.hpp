#pragma once

namespace telvora {

// One ad break marked in a media playlist. Times count seconds back from the
// end of the playlist it came from (the end is 0, the first segment's start is
// the playlist's total duration), so a break inside the playlist has
// timeEnd <= timeStart.
struct CuePoint {
  enum class CuePointType { video, startAdd, endAdd };

  double timeStart = 0;
  double timeEnd = 0;
  CuePointType type = CuePointType::startAdd;

  CuePoint(double timeStart, double timeEnd, CuePointType type)
      : timeStart(timeStart), timeEnd(timeEnd), type(type) {}

  friend bool operator==(const CuePoint&, const CuePoint&) = default;
};

}  // namespace telvora
