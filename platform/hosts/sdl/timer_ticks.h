// When a sleep on the SDL host ends. Windows ends a Sleep at a tick of its system timer,
// 15.6 ms apart unless a program asks for finer ones, so the short Sleep a frame loop
// takes after each frame lasts until about the next frame anyway. Here the timer ticks
// with the exclusive display: a sleep that would end before the next frame is due ends
// when it is due, and it and Flip's wait for that frame are one wake-up instead of two.
#pragma once

#include <cstdint>

namespace orv::platform::sdl {

// A frame is due at most this long after the flip before it.
inline constexpr std::uint64_t kLongestTickUs = 1'000'000 / 60 + 1;

// The clock reading at which a sleep of `duration` begun at `now` ends, given the next
// frame's due time (0: none yet). Sleep(0) only gives way and never waits for a frame;
// nor does a sleep while frames are not being flipped (the due time has passed or lies
// further than a frame ahead).
std::uint64_t SleepEnd(std::uint64_t now, std::uint64_t duration, std::uint64_t next_frame_due);

}  // namespace orv::platform::sdl
