// The least a 60 Hz frame loop can cost on this machine, as a yardstick for the game's
// processor use: a loop that wakes once a frame at an absolute due time, then the same
// loop doing the memory work a frame costs where nothing knows what was drawn (the copy of
// a whole 640x480 8-bit background into the back buffer, and the comparison of the new
// frame with the one shown before), then with two wake-ups a frame instead of one. Each
// runs for the given seconds; the figure is the process's processor time as % of a core.
//   game_sdl_frame_floor [SECONDS]
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::int64_t kPeriodNs = 1'000'000'000 / 60;

std::int64_t Now(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void SleepUntil(std::int64_t due_ns) {
  const timespec until{static_cast<time_t>(due_ns / 1'000'000'000),
                       static_cast<long>(due_ns % 1'000'000'000)};
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}

struct Frames {
  std::vector<std::uint8_t> background = std::vector<std::uint8_t>(kWidth * kHeight, 1);
  std::vector<std::uint8_t> back = std::vector<std::uint8_t>(kWidth * kHeight, 2);
  std::vector<std::uint8_t> front = std::vector<std::uint8_t>(kWidth * kHeight, 3);
  std::vector<std::uint8_t> shown = std::vector<std::uint8_t>(kWidth * kHeight, 1);
  int changed_rows = 0;

  // What the game and the host do with memory each frame: the background row by row into
  // the back buffer, a flip, and the new front compared row by row with the shown frame.
  void Work(int frame) {
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(&back[y * kWidth], &background[y * kWidth], kWidth);
    back[(frame * 7) % (kWidth * kHeight)] = 9;
    back.swap(front);
    for (int y = 0; y < kHeight; ++y)
      changed_rows += std::memcmp(&front[y * kWidth], &shown[y * kWidth], kWidth) != 0;
  }
};

// Processor time as % of one core for `seconds` of the loop.
double Run(double seconds, bool work, bool second_wake) {
  Frames frames;
  const std::int64_t cpu_start = Now(CLOCK_PROCESS_CPUTIME_ID);
  const std::int64_t start = Now(CLOCK_MONOTONIC);
  const int count = static_cast<int>(seconds * 60);
  for (int frame = 1; frame <= count; ++frame) {
    SleepUntil(start + frame * kPeriodNs);
    if (work)
      frames.Work(frame);
    if (second_wake)
      SleepUntil(Now(CLOCK_MONOTONIC) + 1'000'000);  // the message loop's Sleep(1)
  }
  const double cpu_ns = static_cast<double>(Now(CLOCK_PROCESS_CPUTIME_ID) - cpu_start);
  const double wall_ns = static_cast<double>(Now(CLOCK_MONOTONIC) - start);
  // The comparison's result is looked at, so that it is made: one row differs a frame.
  if (work && frames.changed_rows != count)
    std::printf("  (%d rows differed in %d frames)\n", frames.changed_rows, count);
  return 100.0 * cpu_ns / wall_ns;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 8.0;
  std::printf("a 60 Hz loop, %.0f s each, processor time as %% of one core:\n", seconds);
  std::printf("  one wake-up a frame                        %5.2f %%\n",
              Run(seconds, false, false));
  std::printf("  one wake-up and a frame's memory work      %5.2f %%\n", Run(seconds, true, false));
  std::printf("  two wake-ups and a frame's memory work     %5.2f %%\n", Run(seconds, true, true));
  return 0;
}
