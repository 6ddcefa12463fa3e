// The pacing of flips in the browser, on simulated displays: DirectDraw's frame pacer
// sleeps on a host whose sleeps end as the web host's do, at animation frames that follow
// the display's refresh.
#include "hosts/web/refresh_clock.h"

#include <cmath>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "ddraw/frame_pacer.h"
#include "hosts/headless/headless_host.h"

namespace {

using orv::platform::FramePacer;
using orv::platform::HeadlessHost;
using orv::platform::web::BrowserTime;
using orv::platform::web::RefreshClock;

// A browser whose animation frames come at a display's refresh, on a virtual clock.
class SimulatedBrowser : public BrowserTime {
 public:
  SimulatedBrowser(double refresh_hz, double phase_ms)
      : interval_ms_(1000.0 / refresh_hz), phase_ms_(phase_ms) {}

  double NowMs() override { return now_ms_; }
  double NextAnimationFrame(double timeout_ms) override {
    const double frame = RefreshTime(RefreshAfter(now_ms_));
    if (!animation_frames_ || frame > now_ms_ + timeout_ms) {
      now_ms_ += timeout_ms;
      return -1;
    }
    now_ms_ = frame;
    return frame;
  }
  void Sleep(double ms) override { now_ms_ += ms + kTimerLatencyMs; }

  void Work(double ms) { now_ms_ += ms; }
  void SetAnimationFrames(bool on) { animation_frames_ = on; }
  // The refresh whose picture shows what was drawn at `time_ms`: the first at or after it
  // (what is drawn during an animation frame shows in that frame's picture).
  long RefreshShowing(double time_ms) const {
    return static_cast<long>(std::ceil((time_ms - phase_ms_) / interval_ms_ - 1e-9));
  }
  double interval_ms() const { return interval_ms_; }

 private:
  static constexpr double kTimerLatencyMs = 0.1;
  long RefreshAfter(double time_ms) const {
    return static_cast<long>(std::floor((time_ms - phase_ms_) / interval_ms_ + 1e-9)) + 1;
  }
  double RefreshTime(long refresh) const { return phase_ms_ + refresh * interval_ms_; }

  double interval_ms_;
  double phase_ms_;
  double now_ms_ = 1000;
  bool animation_frames_ = true;
};

// The headless host on the simulated browser's clock, sleeping as the web host does.
class BrowserHost : public HeadlessHost {
 public:
  explicit BrowserHost(SimulatedBrowser& browser) : browser_(browser) {}
  std::uint64_t NowMicroseconds() override {
    return static_cast<std::uint64_t>(browser_.NowMs() * 1000.0);
  }
  void SleepMicroseconds(std::uint64_t duration) override {
    clock_.Sleep(browser_, static_cast<double>(duration) / 1000.0, true);
  }
  const RefreshClock& clock() const { return clock_; }

 private:
  SimulatedBrowser& browser_;
  RefreshClock clock_;
};

// The game's loop: the frame's work, the flip's wait and presentation, then Sleep(1).
class Game {
 public:
  Game(SimulatedBrowser& browser, BrowserHost& host) : browser_(browser), host_(host) {}

  // Plays `frames` frames and returns the refresh that shows each.
  std::vector<long> Play(int frames, double work_ms) {
    std::vector<long> refreshes;
    for (int i = 0; i < frames; ++i) {
      browser_.Work(work_ms);
      pacer_.WaitForNextFrame(host_);
      if (i == 0)
        first_ms_ = browser_.NowMs();
      last_ms_ = browser_.NowMs();
      refreshes.push_back(browser_.RefreshShowing(browser_.NowMs()));
      host_.SleepMicroseconds(1000);
    }
    frames_ = frames;
    return refreshes;
  }
  // Frames a second over the last Play.
  double FrameRate() const { return (frames_ - 1) / ((last_ms_ - first_ms_) / 1000.0); }

 private:
  SimulatedBrowser& browser_;
  BrowserHost& host_;
  FramePacer pacer_;
  int frames_ = 0;
  double first_ms_ = 0;
  double last_ms_ = 0;
};

TEST(RefreshClockTest, SixtyFramesASecondOnAnyDisplayEachShownUntilTheNextIsDue) {
  struct Display {
    double hz;
    int fewest_refreshes;  // per frame
    int most_refreshes;
    bool interval_measured;  // sleeps span more than one animation frame
  };
  const Display displays[] = {
      {60, 1, 1, false}, {120, 2, 2, true}, {144, 2, 3, true}, {240, 4, 4, true}, {75, 1, 2, true}};
  for (const Display& display : displays) {
    for (const double phase : {0.0, 3.3, 8.2, 8.4, 12.9}) {
      for (const double work : {0.3, 6.0}) {
        SCOPED_TRACE(testing::Message()
                     << display.hz << " Hz, phase " << phase << " ms, work " << work << " ms");
        SimulatedBrowser browser(display.hz, phase);
        BrowserHost host(browser);
        // A second to settle, then ten measured.
        Game game(browser, host);
        game.Play(60, work);
        const std::vector<long> refreshes = game.Play(600, work);
        EXPECT_NEAR(game.FrameRate(), 60.0, 0.05);
        std::map<long, int> shown_for;
        for (std::size_t i = 1; i < refreshes.size(); ++i)
          ++shown_for[refreshes[i] - refreshes[i - 1]];
        for (const auto& [refreshes, count] : shown_for) {
          EXPECT_GE(refreshes, display.fewest_refreshes) << count << " frames";
          EXPECT_LE(refreshes, display.most_refreshes) << count << " frames";
        }
        EXPECT_NEAR(host.clock().interval_ms(),
                    display.interval_measured ? browser.interval_ms() : 1000.0 / 60, 0.01);
      }
    }
  }
}

// A display a little slower than 60 Hz cannot show every frame; the game keeps its pace
// and only the frame that falls between two refreshes goes unseen.
TEST(RefreshClockTest, ADisplaySlightlySlowerThanSixtyHertzDropsAFrameNowAndThen) {
  SimulatedBrowser browser(59.94, 5.0);
  BrowserHost host(browser);
  Game game(browser, host);
  game.Play(60, 0.3);
  const std::vector<long> refreshes = game.Play(1200, 0.3);
  EXPECT_NEAR(game.FrameRate(), 60.0, 0.05);
  int unseen = 0;
  for (std::size_t i = 1; i < refreshes.size(); ++i) {
    const long step = refreshes[i] - refreshes[i - 1];
    EXPECT_LE(step, 2);
    unseen += step == 0 ? 1 : 0;
  }
  // 20 s at 0.06 refreshes a second fewer than frames.
  EXPECT_LE(unseen, 2);
}

// Without animation frames (a hidden page) sleeps end on timers, a little after their end.
TEST(RefreshClockTest, WithoutAnimationFramesASleepEndsSoonAfterItsEnd) {
  for (const bool visible : {true, false}) {
    SimulatedBrowser browser(60, 0);
    browser.SetAnimationFrames(false);
    RefreshClock clock;
    const double start = browser.NowMs();
    clock.Sleep(browser, 40, visible);
    EXPECT_GE(browser.NowMs() - start, 40);
    EXPECT_LE(browser.NowMs() - start, 40 + RefreshClock::kFrameTimeoutSlackMs + 1);
  }
}

// A sleep shorter than half a refresh (Sleep(1) after each frame) never waits for one.
TEST(RefreshClockTest, AShortSleepEndsOnATimer) {
  SimulatedBrowser browser(60, 0);
  RefreshClock clock;
  const double start = browser.NowMs();
  clock.Sleep(browser, 1, true);
  EXPECT_LT(browser.NowMs() - start, 2);
}

}  // namespace
