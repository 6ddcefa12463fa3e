#include "hosts/sdl/timer_ticks.h"

namespace orv::platform::sdl {

std::uint64_t SleepEnd(std::uint64_t now, std::uint64_t duration, std::uint64_t next_frame_due) {
  const std::uint64_t end = now + duration;
  const bool frame_ahead = next_frame_due >= end && next_frame_due - now <= kLongestTickUs;
  return duration > 0 && frame_ahead ? next_frame_due : end;
}

}  // namespace orv::platform::sdl
