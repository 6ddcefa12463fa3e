// Paces flips to the display's 60 Hz: each frame has an absolute due time on the host's
// monotonic clock, and the pacer waits on the host for it.
#pragma once

#include <cstdint>

#include "core/host.h"

namespace orv::platform {

class FramePacer {
 public:
  static constexpr std::uint64_t kFramesPerSecond = 60;
  static constexpr std::uint64_t kMicrosecondsPerSecond = 1'000'000;
  // A caller later than this past its due time starts a new series (half a frame).
  static constexpr std::uint64_t kLatenessForNewSeriesUs =
      kMicrosecondsPerSecond / kFramesPerSecond / 2;

  // Waits on the host for the next frame's due time (Host::AwaitFrameDue). The first frame is due
  // at once; frame n of a series is due n/60 s after the series began, computed from its start so
  // that neither the fractional period nor late wake-ups add up. A caller a little late keeps the
  // series; one late by more than half a frame starts a new series at the present, so
  // that the frames after it keep their full period instead of bunching up to catch up.
  void WaitForNextFrame(Host& host);

 private:
  bool started_ = false;
  std::uint64_t series_start_us_ = 0;
  std::uint64_t frames_in_series_ = 0;
};

}  // namespace orv::platform
