#include "ddraw/frame_pacer.h"

namespace orv::platform {
namespace {
constexpr std::uint64_t kMicrosecondsPerSecond = 1'000'000;
constexpr std::uint64_t kFramePeriodUs = kMicrosecondsPerSecond / FramePacer::kFramesPerSecond;
}  // namespace

void FramePacer::WaitForNextFrame(Host& host) {
  const std::uint64_t now = host.NowMicroseconds();
  if (!started_) {
    started_ = true;
    series_start_us_ = now;
    frames_in_series_ = 0;
    return;
  }
  ++frames_in_series_;
  // Computed from the series start so that the fractional period does not drift.
  const std::uint64_t due =
      series_start_us_ + frames_in_series_ * kMicrosecondsPerSecond / FramePacer::kFramesPerSecond;
  if (now < due) {
    host.SleepMicroseconds(due - now);
  } else if (now - due > kFramePeriodUs) {
    series_start_us_ = now;
    frames_in_series_ = 0;
  }
}

}  // namespace orv::platform
