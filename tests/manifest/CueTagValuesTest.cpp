#include "manifest/CueTagValues.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace telvora::manifest {
namespace {

TEST(CueTagValues, ReadsSegmentDurations) {
  const std::pair<const char*, double> cases[] = {
      {"10,", 10},
      {"9.5,", 9.5},
      {"10.0,Intro", 10},
      {"6.006", 6.006},
      {" 4.5 ,x", 4.5},
      {",", 0},
      {"", 0},
      {"abc,", 0},
      {"-5,", 0},
      {"inf,", 0},
      {"nan,", 0},
      {"1e400,", 0},
      {"+2.5,title", 2.5},
      {"+-2,", 0},
      {"10,title,with,commas", 10},
  };
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(extinfDuration(value), expected) << value;
}

TEST(CueTagValues, ReadsCueOutDurationsAsPackagersWriteThem) {
  const std::pair<const char*, double> cases[] = {
      {"30", 30},
      {"30.000", 30},
      {"DURATION=30", 30},
      {"DURATION=366,ID=7,CUE=\"/DAlAAAA,AAAA\"", 366},
      {"ID=7,duration=45.5", 45.5},
      {"CUE=\"DURATION=9\",DURATION=20", 20},
      {"4,SpliceType=SpliceInsert", 4},
      {"12,ID=55,PARTNER=x", 12},
      {"", 0},
      {"SpliceType=SpliceInsert", 0},
      {"DURATION=soon", 0},
  };
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(cueOutDuration(value), expected) << value;
}

TEST(CueTagValues, ReadsCueOutContInBothForms) {
  struct Case {
    const char* value;
    std::optional<double> elapsed;
    std::optional<double> duration;
  };
  const Case cases[] = {
      {"ElapsedTime=12.5,Duration=30", 12.5, 30},
      {"12.5/30", 12.5, 30},
      {"ElapsedTime=10.010,Duration=30,SCTE35=/DAlAAAAAAAAAP/wFAUAAAABf+/+ANgNkv4AFJlwAAEBAQAA5Q",
       10.01, 30},
      {"Duration=30,ElapsedTime=4,ElapsedTime=6", 6, 30},
      {"ElapsedTime=x,Duration=30", std::nullopt, 30},
      {"10/", std::nullopt, std::nullopt},
      {"ElapsedTime=10", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const CueOutCont read = readCueOutCont(c.value);
    EXPECT_EQ(read.elapsed, c.elapsed) << c.value;
    EXPECT_EQ(read.duration, c.duration) << c.value;
  }
}

}  // namespace
}  // namespace telvora::manifest
