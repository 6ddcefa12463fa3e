#include "ddraw/frame_pacer.h"

namespace orv::platform {

std::uint64_t FramePacer::Due(std::uint64_t frame) const {
  return series_start_us_ + frame * kMicrosecondsPerSecond / kFramesPerSecond;
}

void FramePacer::WaitForNextFrame(Host& host) {
  const std::uint64_t now = host.NowMicroseconds();
  if (!started_) {
    started_ = true;
    series_start_us_ = now;
    frames_in_series_ = 0;
  } else {
    ++frames_in_series_;
    const std::uint64_t due = Due(frames_in_series_);
    if (now < due) {
      host.SleepUntilMicroseconds(due);
    } else if (now - due > kLatenessForNewSeriesUs) {
      series_start_us_ = now;
      frames_in_series_ = 0;
    }
  }
  host.NextFrameDue(Due(frames_in_series_ + 1));
}

}  // namespace orv::platform
