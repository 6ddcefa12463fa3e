// Frame timing for measurements: when ORV_PRESENT_TIMES names a file, the host writes
// there a line for every frame it shows: the time, in microseconds of the system's
// monotonic clock (the clock of std::chrono::steady_clock), which other processes can
// compare with their own readings, and after a space the bytes the frame sent towards
// the display. A line beginning with '#' names how the frames are presented.
#pragma once

#include <cstddef>
#include <cstdio>

namespace orv::platform::sdl {

class PresentLog {
 public:
  // Opens the file named by ORV_PRESENT_TIMES, if any.
  PresentLog();
  ~PresentLog();
  PresentLog(const PresentLog&) = delete;
  PresentLog& operator=(const PresentLog&) = delete;

  // Notes how frames are presented from here on ("surface", "renderer").
  void PresentingBy(const char* path);
  // Notes that a frame has just been shown, having sent `bytes`.
  void FrameShown(std::size_t bytes);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace orv::platform::sdl
