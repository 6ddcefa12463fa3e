// When a sleep in the browser ends. A page draws only at the browser's animation
// frames, which follow the display's refresh (60, 120, 144 Hz or other); the game's
// frames are due every 1/60 s. A sleep long enough to span an animation frame ends at
// the animation frame closest to its end, so that each game frame is shown from the
// refresh nearest its due time until the next one's: 60 frames a second on any
// display. A shorter sleep ends on a timer.
#pragma once

#include <array>
#include <cstdint>

namespace orv::platform::web {

class RefreshClock {
 public:
  static constexpr double kAssumedIntervalMs = 1000.0 / 60.0;

  // An animation frame at `time_ms`, the frame after the one at the last call when
  // `consecutive` (the caller waited for it without a gap).
  void Frame(double time_ms, bool consecutive);

  // The display's refresh interval, from the recent animation frames.
  double interval_ms() const { return interval_ms_; }

  // Whether a sleep from `now_ms` to `end_ms` waits for animation frames at all.
  bool WaitsForFrames(double now_ms, double end_ms) const {
    return end_ms - now_ms >= interval_ms_ / 2;
  }
  // Whether a sleep that ends at `end_ms` is over at the animation frame at `frame_ms`.
  bool EndsAt(double frame_ms, double end_ms) const {
    return frame_ms >= end_ms - interval_ms_ / 2;
  }

 private:
  static constexpr int kSamples = 15;

  double last_frame_ms_ = -1;
  std::array<double, kSamples> samples_{};
  int sample_count_ = 0;
  int next_sample_ = 0;
  double interval_ms_ = kAssumedIntervalMs;
};

}  // namespace orv::platform::web
