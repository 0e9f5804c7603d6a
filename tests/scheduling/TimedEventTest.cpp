#include "EventLog.hpp"
#include "scheduling/PlaybackProgress.hpp"
#include "scheduling/TimedEvent.hpp"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace telvora {
namespace {

using Type = TimedEvent::EventType;

// The scheduler keeps the latest tick and events in fields it reassigns.
static_assert(std::is_copy_assignable_v<TimedEvent>);
static_assert(std::is_copy_assignable_v<PlaybackProgress>);
static_assert(!std::is_convertible_v<Type, TimedEvent>);

TEST(TimedEvent, AnEventOfTypeAloneCarriesNothingElse) {
  const TimedEvent stop(Type::stopAd);
  EXPECT_EQ(stop.type(), Type::stopAd);
  EXPECT_FALSE(stop.duration());
  EXPECT_FALSE(stop.maxPods());
  EXPECT_FALSE(stop.vastURL());
  EXPECT_FALSE(stop.timeToNextAdd());
  EXPECT_EQ(PlaybackProgress(), PlaybackProgress(0, 0));
}

TEST(TimedEvent, OnlyTheTimeToTheBreakChangesAfterConstruction) {
  TimedEvent event(Type::prepare, 30, 2, "http://ads/tag");
  event.setTimeToNextAdd(12.5);
  EXPECT_EQ(event, TimedEvent(Type::prepare, 30, 2, "http://ads/tag", 12.5));
  event.setTimeToNextAdd(std::nullopt);
  EXPECT_EQ(event, TimedEvent(Type::prepare, 30, 2, "http://ads/tag"));
}

TEST(TimedEvent, EqualityLooksAtEveryField) {
  const TimedEvent base(Type::start, 30, 2, "http://ads/tag", 0);
  const std::vector<TimedEvent> differentInOneField = {
      TimedEvent(Type::prepare, 30, 2, "http://ads/tag", 0),
      TimedEvent(Type::start, 31, 2, "http://ads/tag", 0),
      TimedEvent(Type::start, std::nullopt, 2, "http://ads/tag", 0),
      TimedEvent(Type::start, 30, 3, "http://ads/tag", 0),
      TimedEvent(Type::start, 30, std::nullopt, "http://ads/tag", 0),
      TimedEvent(Type::start, 30, 2, "http://ads/other", 0),
      TimedEvent(Type::start, 30, 2, std::nullopt, 0),
      TimedEvent(Type::start, 30, 2, "http://ads/tag", -1),
      TimedEvent(Type::start, 30, 2, "http://ads/tag"),
  };
  EXPECT_EQ(base, TimedEvent(Type::start, 30, 2, "http://ads/tag", 0));
  for (const TimedEvent& other : differentInOneField)
    EXPECT_NE(base, other);
}

}  // namespace
}  // namespace telvora
