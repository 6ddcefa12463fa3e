// How a sleep ends in the browser. A page draws only at the browser's animation frames,
// which follow the display's refresh (60, 120, 144 Hz or another rate); the game's
// frames are due every 1/60 s. A sleep long enough to span an animation frame ends at
// the animation frame nearest its end, so that each game frame is shown from the refresh
// nearest its due time until the next one's: 60 frames a second on any display. A
// shorter sleep, or one while the page is hidden (it gets no animation frames), ends on
// a timer.
#pragma once

#include <array>
#include <cstdint>

namespace orv::platform::web {

// What a sleep waits on.
class BrowserTime {
 public:
  virtual ~BrowserTime() = default;
  virtual double NowMs() = 0;
  // Yields until the next animation frame and returns its time, or a negative value
  // when none came within `timeout_ms`.
  virtual double NextAnimationFrame(double timeout_ms) = 0;
  // Yields until a timer after `ms`.
  virtual void Sleep(double ms) = 0;
};

class RefreshClock {
 public:
  static constexpr double kAssumedIntervalMs = 1000.0 / 60.0;
  // An animation frame that does not come (the page was hidden meanwhile) ends a sleep
  // this long after its end.
  static constexpr double kFrameTimeoutSlackMs = 50;

  // Sleeps for `duration_ms`; `animation_frames` says whether the page gets them (it is
  // visible).
  void Sleep(BrowserTime& time, double duration_ms, bool animation_frames);

  // The display's refresh interval, from the recent animation frames.
  double interval_ms() const { return interval_ms_; }

 private:
  static constexpr int kSamples = 15;

  // An animation frame at `time_ms`; `consecutive` when it followed the last one without
  // a gap (the caller waited for it right after).
  void Frame(double time_ms, bool consecutive);

  double last_frame_ms_ = -1;
  std::array<double, kSamples> samples_{};
  int sample_count_ = 0;
  int next_sample_ = 0;
  double interval_ms_ = kAssumedIntervalMs;
};

}  // namespace orv::platform::web
