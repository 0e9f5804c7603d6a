#pragma once

#include <optional>
#include <string_view>

// Readers for the values of the playlist tags the manifest analysis uses.
namespace telvora::manifest {

// The segment duration of an #EXTINF value ("10.0," or "10.0,Title"): the
// number before the first comma; 0 when it is no number or negative.
double extinfDuration(std::string_view value);

// The break duration of an #EXT-X-CUE-OUT value, in the forms packagers
// write: "30", "30.000", "DURATION=30", "DURATION=366,ID=7,CUE=\"...\"",
// "4,SpliceType=...". 0 when none of them reads.
double cueOutDuration(std::string_view value);

// Elapsed time and full duration of an #EXT-X-CUE-OUT-CONT value, either
// "ElapsedTime=10,Duration=30[,...]" or "10/30"; each absent when it does
// not read.
struct CueOutCont {
  std::optional<double> elapsed;
  std::optional<double> duration;
};
CueOutCont readCueOutCont(std::string_view value);

}  // namespace telvora::manifest
