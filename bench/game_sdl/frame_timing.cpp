// Frame timing of the game on the SDL host, from outside the process: the host writes the
// time of every frame it shows to the file named by ORV_PRESENT_TIMES (steady clock,
// microseconds), and this program starts the game with it and reads the figures.
//   game_sdl_frame_timing GAME [--starts N] [--seconds S] [--server-pid PID]
// Prints the time from process start to the first shown frame over N starts, then for
// one run of S seconds the distribution of frame intervals against 60 frames per second
// and the game's processor use (and the display server's, given its process id). Needs
// a display (DISPLAY): run_frame_timing.sh provides one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFramePeriodMs = 1000.0 / 60.0;

std::int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
      .count();
}

std::vector<std::int64_t> ReadTimes(const std::string& path) {
  std::vector<std::int64_t> times;
  std::ifstream file(path);
  std::string line;
  // A line still being written has no line feed yet and is left for the next look.
  while (std::getline(file, line) && !file.eof())
    times.push_back(std::stoll(line));
  return times;
}

// The game's processor time so far, user and system, in seconds.
std::optional<double> CpuSeconds(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto name_end = stat.rfind(')');
  if (name_end == std::string::npos)
    return std::nullopt;
  // After the name: state (field 3) ... utime (14) and stime (15).
  std::istringstream fields(stat.substr(name_end + 2));
  std::string field;
  unsigned long long utime = 0;
  unsigned long long stime = 0;
  for (int number = 3; number <= 15 && fields >> field; ++number) {
    if (number == 14)
      utime = std::stoull(field);
    if (number == 15)
      stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Run {
  pid_t pid = -1;
  std::string times_path;
  std::int64_t started_us = 0;
};

Run Start(const char* game, const std::string& times_path) {
  std::remove(times_path.c_str());
  Run run;
  run.times_path = times_path;
  run.started_us = NowUs();
  run.pid = fork();
  if (run.pid == 0) {
    setenv("ORV_PRESENT_TIMES", times_path.c_str(), 1);
    // Its debug lines are not wanted here.
    std::freopen("/dev/null", "w", stderr);
    execl(game, game, static_cast<char*>(nullptr));
    _exit(127);
  }
  return run;
}

// Asks the game to close (SDL turns the signal into a close request) and waits for it.
int Stop(const Run& run) {
  kill(run.pid, SIGTERM);
  int status = 0;
  for (int waited_ms = 0; waited_ms < 3000; waited_ms += 10) {
    if (waitpid(run.pid, &status, WNOHANG) == run.pid)
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(run.pid, SIGKILL);
  waitpid(run.pid, &status, 0);
  return -1;
}

// The first frame's time, or nothing when none came within the limit.
std::optional<std::int64_t> WaitForFirstFrame(const Run& run, int limit_ms) {
  for (int waited_ms = 0; waited_ms < limit_ms; ++waited_ms) {
    const auto times = ReadTimes(run.times_path);
    if (!times.empty())
      return times.front();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return std::nullopt;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

int Usage() {
  std::fputs("usage: game_sdl_frame_timing GAME [--starts N] [--seconds S] [--server-pid PID]\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    return Usage();
  const char* game = argv[1];
  int starts = 5;
  double seconds = 5;
  pid_t server = 0;
  for (int i = 2; i < argc; ++i) {
    if (i + 1 >= argc)
      return Usage();
    if (std::strcmp(argv[i], "--starts") == 0) {
      starts = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--seconds") == 0) {
      seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--server-pid") == 0) {
      server = std::atoi(argv[++i]);
    } else {
      return Usage();
    }
  }
  if (starts < 1 || seconds < 2)
    return Usage();
  const std::string times_path = "/tmp/orv_frame_times_" + std::to_string(getpid()) + ".txt";

  // Process start to first shown frame.
  std::vector<double> first_ms;
  for (int i = 0; i < starts; ++i) {
    const Run run = Start(game, times_path);
    const auto first = WaitForFirstFrame(run, 10000);
    const int code = Stop(run);
    if (!first) {
      std::fprintf(stderr, "start %d: no frame within 10 s (exit %d)\n", i + 1, code);
      return 1;
    }
    first_ms.push_back(static_cast<double>(*first - run.started_us) / 1000.0);
  }
  std::printf("first frame after process start (%d starts): median %.1f ms, min %.1f, max %.1f\n",
              starts, Percentile(first_ms, 0.5),
              *std::min_element(first_ms.begin(), first_ms.end()),
              *std::max_element(first_ms.begin(), first_ms.end()));

  // One longer run: frame intervals and processor use of the title menu, leaving out the
  // first second of start-up.
  const Run run = Start(game, times_path);
  if (!WaitForFirstFrame(run, 10000)) {
    Stop(run);
    std::fputs("no frame within 10 s\n", stderr);
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const std::int64_t from_us = NowUs();
  const auto game_cpu_from = CpuSeconds(run.pid);
  const auto server_cpu_from = server != 0 ? CpuSeconds(server) : std::nullopt;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds - 1));
  const std::int64_t to_us = NowUs();
  const auto game_cpu_to = CpuSeconds(run.pid);
  const auto server_cpu_to = server != 0 ? CpuSeconds(server) : std::nullopt;
  const int code = Stop(run);

  const auto times = ReadTimes(times_path);
  std::remove(times_path.c_str());
  std::vector<double> intervals_ms;
  for (std::size_t i = 1; i < times.size(); ++i) {
    if (times[i - 1] >= from_us && times[i] <= to_us)
      intervals_ms.push_back(static_cast<double>(times[i] - times[i - 1]) / 1000.0);
  }
  if (intervals_ms.size() < 10) {
    std::fprintf(stderr, "only %zu frame intervals measured\n", intervals_ms.size());
    return 1;
  }
  const double wall_s = static_cast<double>(to_us - from_us) / 1e6;
  const double late = static_cast<double>(std::count_if(
      intervals_ms.begin(), intervals_ms.end(), [](double ms) { return ms > 2 * kFramePeriodMs; }));
  std::printf("frames over %.1f s: %zu (%.1f per second, target 60)\n", wall_s, intervals_ms.size(),
              static_cast<double>(intervals_ms.size()) / wall_s);
  std::printf(
      "frame interval: median %.2f ms, p99 %.2f ms, max %.2f ms (target %.2f ms); "
      "%.0f longer than two periods\n",
      Percentile(intervals_ms, 0.5), Percentile(intervals_ms, 0.99),
      *std::max_element(intervals_ms.begin(), intervals_ms.end()), kFramePeriodMs, late);
  if (game_cpu_from && game_cpu_to) {
    std::printf("game CPU: %.1f %% of one core\n", 100 * (*game_cpu_to - *game_cpu_from) / wall_s);
  }
  if (server_cpu_from && server_cpu_to) {
    std::printf("display server CPU: %.1f %% of one core\n",
                100 * (*server_cpu_to - *server_cpu_from) / wall_s);
  }
  if (code != 0)
    std::fprintf(stderr, "the game ended with %d\n", code);
  return code == 0 ? 0 : 1;
}
