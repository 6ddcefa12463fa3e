#include "hosts/web/refresh_clock.h"

#include <algorithm>

namespace orv::platform::web {
namespace {
// Intervals outside these bounds are not a display's (a stalled or throttled page).
constexpr double kShortestIntervalMs = 1.0;
constexpr double kLongestIntervalMs = 100.0;
}  // namespace

void RefreshClock::Sleep(BrowserTime& time, double duration_ms, bool animation_frames) {
  const double half_refresh = interval_ms_ / 2;
  if (!animation_frames || duration_ms < half_refresh) {
    time.Sleep(duration_ms);
    return;
  }
  const double end = time.NowMs() + duration_ms;
  bool consecutive = false;
  for (;;) {
    const double remaining = std::max(0.0, end - time.NowMs());
    const double frame = time.NextAnimationFrame(remaining + kFrameTimeoutSlackMs);
    if (frame < 0)
      return;
    Frame(frame, consecutive);
    consecutive = true;
    if (frame >= end - interval_ms_ / 2)
      return;
  }
}

void RefreshClock::Frame(double time_ms, bool consecutive) {
  const double delta = time_ms - last_frame_ms_;
  const bool measured = consecutive && last_frame_ms_ >= 0;
  last_frame_ms_ = time_ms;
  if (!measured || delta < kShortestIntervalMs || delta > kLongestIntervalMs)
    return;
  samples_[next_sample_] = delta;
  next_sample_ = (next_sample_ + 1) % kSamples;
  sample_count_ = std::min(sample_count_ + 1, kSamples);
  // The median: a late frame now and then does not move it.
  std::array<double, kSamples> sorted = samples_;
  std::sort(sorted.begin(), sorted.begin() + sample_count_);
  interval_ms_ = sorted[sample_count_ / 2];
}

}  // namespace orv::platform::web
