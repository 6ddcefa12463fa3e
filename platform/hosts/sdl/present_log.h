// Frame timing for measurements: when ORV_PRESENT_TIMES names a file, the host writes
// there the time of every frame it shows, one line each, in microseconds of the system's
// monotonic clock (the clock of std::chrono::steady_clock), which other processes can
// compare with their own readings.
#pragma once

#include <cstdio>

namespace orv::platform::sdl {

class PresentLog {
 public:
  // Opens the file named by ORV_PRESENT_TIMES, if any.
  PresentLog();
  ~PresentLog();
  PresentLog(const PresentLog&) = delete;
  PresentLog& operator=(const PresentLog&) = delete;

  // Notes that a frame has just been shown.
  void FrameShown();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace orv::platform::sdl
