#include "ddraw/frame_pacer.h"

namespace orv::platform {

void FramePacer::WaitForNextFrame(Host& host) {
  const std::uint64_t now = host.NowMicroseconds();
  if (!started_) {
    started_ = true;
    series_start_us_ = now;
    frames_in_series_ = 0;
    return;
  }
  ++frames_in_series_;
  const std::uint64_t due =
      series_start_us_ + frames_in_series_ * kMicrosecondsPerSecond / kFramesPerSecond;
  if (now < due) {
    host.AwaitFrameDue(due);
  } else if (now - due > kLatenessForNewSeriesUs) {
    series_start_us_ = now;
    frames_in_series_ = 0;
  }
}

}  // namespace orv::platform
