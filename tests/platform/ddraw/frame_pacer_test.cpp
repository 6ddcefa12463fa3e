// The frame pacer against a virtual clock: absolute due times that do not drift, sleeps
// that wait for them, and late frames that start a new series rather than a burst.
#include "ddraw/frame_pacer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <random>
#include <vector>

#include "hosts/headless/headless_host.h"

namespace orv::platform {
namespace {

constexpr std::uint64_t kStart = 7'000'123;
constexpr std::uint64_t kPeriod = 16'666;  // whole microseconds of 1/60 s

// Frame n of a series begun at `start` is due here.
std::uint64_t Due(std::uint64_t start, std::uint64_t n) {
  return start + n * 1'000'000 / 60;
}

// The headless clock, noting every sleep the pacer asks for; wake-ups can be made late.
class PacedClock : public HeadlessHost {
 public:
  void SleepUntilMicroseconds(std::uint64_t deadline) override {
    deadlines.push_back(deadline);
    sleeping_until_ = true;
    HeadlessHost::SleepUntilMicroseconds(deadline + wake_lateness_us);
    sleeping_until_ = false;
  }
  void SleepMicroseconds(std::uint64_t duration) override {
    if (!sleeping_until_)
      ++relative_sleeps;
    HeadlessHost::SleepMicroseconds(duration);
  }

  std::vector<std::uint64_t> deadlines;
  int relative_sleeps = 0;  // sleeps for a duration the pacer asked for itself
  std::uint64_t wake_lateness_us = 0;

 private:
  bool sleeping_until_ = false;
};

class FramePacerTest : public testing::Test {
 protected:
  FramePacerTest() { clock.SetNowMicroseconds(kStart); }

  // Waits for the next frame and returns the time it is shown.
  std::uint64_t NextFrame() {
    pacer.WaitForNextFrame(clock);
    return clock.NowMicroseconds();
  }

  PacedClock clock;
  FramePacer pacer;
};

TEST_F(FramePacerTest, TenThousandFramesKeepTheirDueTimesDespiteLateWakesAndWork) {
  std::mt19937 random(12);
  std::uniform_int_distribution<std::uint64_t> wake(0, 2000);
  std::uniform_int_distribution<std::uint64_t> work(0, 3000);
  ASSERT_EQ(NextFrame(), kStart);
  constexpr std::uint64_t kFrames = 10'000;
  for (std::uint64_t n = 1; n <= kFrames; ++n) {
    clock.wake_lateness_us = wake(random);
    // Now and then a frame's work takes longer than a frame: late, but by less than half a
    // frame, so the frame is shown at once and the series holds.
    const std::uint64_t busy = n % 100 == 50 ? kPeriod + 3000 : work(random);
    clock.SetNowMicroseconds(clock.NowMicroseconds() + busy);
    const std::uint64_t shown = NextFrame();
    ASSERT_GE(shown, Due(kStart, n)) << "frame " << n << " shown early";
    ASSERT_LE(shown, Due(kStart, n) + 5000) << "frame " << n;
  }
  EXPECT_EQ(clock.relative_sleeps, 0);
  // One sleep per frame that was not already late, each until its own due time.
  ASSERT_EQ(clock.deadlines.size(), kFrames - kFrames / 100);
  std::uint64_t n = 0;
  for (const std::uint64_t deadline : clock.deadlines) {
    if (++n % 100 == 50)
      ++n;
    ASSERT_EQ(deadline, Due(kStart, n));
  }
  EXPECT_EQ(clock.deadlines.back(), kStart + 166'666'666);
}

// A renderer with vertical sync makes each present wait for the display's next refresh.
// On any refresh rate the game stays at 60 frames a second, each frame shown at the first
// refresh after its due time and kept until the next frame's.
class RefreshRateTest : public FramePacerTest, public testing::WithParamInterface<int> {};

TEST_P(RefreshRateTest, SixtyFramesASecondEachShownAtTheFirstRefreshAfterItsDueTime) {
  const double refresh_us = 1e6 / GetParam();
  const auto next_refresh = [&](std::uint64_t now) {
    // Refreshes at kStart + 300 us + k * refresh_us.
    const double since = static_cast<double>(now - kStart) - 300;
    const double k = since <= 0 ? 0 : std::ceil(since / refresh_us);
    return kStart + 300 + static_cast<std::uint64_t>(std::ceil(k * refresh_us));
  };
  std::vector<std::uint64_t> shown;
  std::uint64_t first_due = 0;
  for (int n = 0; n < 1200; ++n) {
    pacer.WaitForNextFrame(clock);
    if (n == 0)
      first_due = clock.NowMicroseconds();
    const std::uint64_t due = Due(first_due, static_cast<std::uint64_t>(n));
    clock.SetNowMicroseconds(next_refresh(clock.NowMicroseconds()));  // the present's wait
    shown.push_back(clock.NowMicroseconds());
    ASSERT_GE(shown.back(), due) << "frame " << n << " at " << GetParam() << " Hz";
    ASSERT_LE(static_cast<double>(shown.back() - due), refresh_us + 1) << "frame " << n;
    clock.SetNowMicroseconds(clock.NowMicroseconds() + 1200);  // the next frame's work
  }
  const double seconds = static_cast<double>(shown.back() - shown.front()) / 1e6;
  EXPECT_NEAR(static_cast<double>(shown.size() - 1) / seconds, 60.0, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Displays, RefreshRateTest, testing::Values(60, 75, 120, 144, 240),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param) + "Hz";
                         });

struct LateCase {
  const char* name;
  std::uint64_t lateness_us;  // past the frame's due time
  bool new_series;
};

void PrintTo(const LateCase& c, std::ostream* out) {
  *out << c.name;
}

class LateFrameTest : public FramePacerTest, public testing::WithParamInterface<LateCase> {};

TEST_P(LateFrameTest, IsShownAtOnceAndTheNextFramesKeepAFullPeriod) {
  const LateCase& c = GetParam();
  std::vector<std::uint64_t> shown{NextFrame(), NextFrame(), NextFrame()};
  clock.SetNowMicroseconds(Due(kStart, 3) + c.lateness_us);
  const std::size_t sleeps = clock.deadlines.size();
  const std::uint64_t late = NextFrame();
  EXPECT_EQ(late, Due(kStart, 3) + c.lateness_us) << "shown without sleeping";
  EXPECT_EQ(clock.deadlines.size(), sleeps);
  for (int i = 0; i < 5; ++i)
    shown.push_back(NextFrame());
  for (std::size_t i = 3; i < shown.size(); ++i) {
    const std::uint64_t want = c.new_series ? Due(late, i - 2) : Due(kStart, i + 1);
    EXPECT_EQ(shown[i], want) << "frame " << i + 1 << " after the late one";
  }
  // Either way no two frames come closer than a period, apart from the one straight after
  // a frame that kept its series.
  for (std::size_t i = c.new_series ? 3 : 4; i < shown.size(); ++i)
    EXPECT_GE(shown[i] - (i == 3 ? late : shown[i - 1]), kPeriod);
}

INSTANTIATE_TEST_SUITE_P(
    Lateness, LateFrameTest,
    testing::Values(LateCase{"AFewMilliseconds", 4'000, false},
                    LateCase{"HalfAFrame", FramePacer::kLatenessForNewSeriesUs, false},
                    LateCase{"JustOverHalfAFrame", FramePacer::kLatenessForNewSeriesUs + 1, true},
                    LateCase{"SeveralFrames", 70'000, true}, LateCase{"ASecond", 1'000'000, true}),
    [](const testing::TestParamInfo<LateCase>& info) { return info.param.name; });

}  // namespace
}  // namespace orv::platform
