// Paces flips to the display's 60 Hz by sleeping on the host until each frame is due.
#pragma once

#include <cstdint>

#include "core/host.h"

namespace orv::platform {

class FramePacer {
 public:
  static constexpr std::uint64_t kFramesPerSecond = 60;

  // Sleeps until the next frame's due time. The first frame is due at once; due times
  // then advance by 1/60 s. A caller late by more than a frame starts a new series at
  // the present instead of presenting a burst of frames to catch up.
  void WaitForNextFrame(Host& host);

 private:
  bool started_ = false;
  std::uint64_t series_start_us_ = 0;
  std::uint64_t frames_in_series_ = 0;
};

}  // namespace orv::platform
