// When a sleep on the SDL host ends: at the next frame's due time when it would end
// before it, else when asked.
#include "hosts/sdl/timer_ticks.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace orv::platform::sdl {
namespace {

struct SleepCase {
  const char* name;
  std::uint64_t now;
  std::uint64_t duration;
  std::uint64_t next_frame_due;
  std::uint64_t ends;
};

TEST(TimerTicks, ASleepEndsAtTheNextFrameWhenItWouldEndBeforeIt) {
  constexpr std::uint64_t kNow = 5'000'000;
  const SleepCase cases[] = {
      {"Sleep(1) just after a flip", kNow, 1'000, kNow + 16'600, kNow + 16'600},
      {"Sleep(1) a whole frame ahead", kNow, 1'000, kNow + kLongestTickUs, kNow + kLongestTickUs},
      {"ending at the due time", kNow, 9'000, kNow + 9'000, kNow + 9'000},
      {"ending after the due time", kNow, 25'000, kNow + 16'600, kNow + 25'000},
      {"Sleep(0) only gives way", kNow, 0, kNow + 16'600, kNow},
      {"no frame flipped yet", kNow, 1'000, 0, kNow + 1'000},
      {"the due time has passed", kNow, 1'000, kNow - 40'000, kNow + 1'000},
      {"a due time further than a frame", kNow, 1'000, kNow + kLongestTickUs + 1, kNow + 1'000},
  };
  for (const SleepCase& c : cases)
    EXPECT_EQ(SleepEnd(c.now, c.duration, c.next_frame_due), c.ends) << c.name;
}

}  // namespace
}  // namespace orv::platform::sdl
