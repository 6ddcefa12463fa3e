// Frame timing of the game on the SDL host, from outside the process: the host writes a
// line for every frame it shows to the file named by ORV_PRESENT_TIMES (monotonic clock
// in microseconds, and the bytes the frame sent), and this program starts the game with it
// and reads the figures.
//   game_sdl_frame_timing GAME REFERENCE [--starts N] [--seconds S] [--server-pid PID]
//                         [--screen WxH] [--present surface|renderer] [--baseline GAME2]
// Prints, in one run:
// - the time from process start to the first shown frame over N starts each of the game
//   and of the minimal SDL program REFERENCE (both of its ways, see sdl_reference.cpp),
//   and of another build of the game GAME2 if given (an older commit's, say), all taking
//   turns;
// - for the title menu, for play with the ship moving (the arrows held by xdotool) and
//   for the minimised window, S seconds each: frames per second, median and p99 frame
//   interval, the game's processor use and the display server's (given its process id),
//   and the bytes sent per frame against the whole frame scaled to the screen (WxH).
// Needs a display (DISPLAY) with a window manager, and xdotool: run_frame_timing.sh
// provides them. --present sets ORV_SDL_PRESENT for the game.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFramePeriodMs = 1000.0 / 60.0;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

std::int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
      .count();
}

void SleepSeconds(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

struct FrameLine {
  std::int64_t time_us;
  std::int64_t bytes;
};

struct FrameLog {
  std::vector<FrameLine> frames;
  std::string present;  // how the frames were presented, when the log says
};

FrameLog ReadLog(const std::string& path) {
  FrameLog log;
  std::ifstream file(path);
  std::string line;
  // A line still being written has no line feed yet and is left for the next look.
  while (std::getline(file, line) && !file.eof()) {
    if (line.rfind("# present ", 0) == 0) {
      log.present = line.substr(10);
      continue;
    }
    std::istringstream fields(line);
    FrameLine frame{0, 0};
    if (fields >> frame.time_us) {
      fields >> frame.bytes;
      log.frames.push_back(frame);
    }
  }
  return log;
}

// A process's processor time so far, in seconds: the nanoseconds its threads spent on a
// processor (schedstat), or, where the kernel keeps no such count, user and system time
// in clock ticks.
std::optional<double> CpuSeconds(pid_t pid) {
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  unsigned long long on_cpu_ns = 0;
  bool counted = false;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    unsigned long long ns = 0;
    if (schedstat >> ns) {
      on_cpu_ns += ns;
      counted = true;
    }
  }
  if (counted)
    return static_cast<double>(on_cpu_ns) / 1e9;

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
  std::string log_path;
  std::int64_t started_us = 0;
};

Run Start(const std::vector<std::string>& command, const std::string& log_path,
          const char* present) {
  std::remove(log_path.c_str());
  Run run;
  run.log_path = log_path;
  std::fflush(nullptr);  // nothing buffered is written twice
  run.started_us = NowUs();
  run.pid = fork();
  if (run.pid == 0) {
    setenv("ORV_PRESENT_TIMES", log_path.c_str(), 1);
    if (present != nullptr)
      setenv("ORV_SDL_PRESENT", present, 1);
    // Its debug lines are not wanted here.
    std::freopen("/dev/null", "w", stderr);
    std::vector<char*> argv;
    for (const std::string& word : command)
      argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return run;
}

// Asks the program to close (SDL turns the signal into a close request) and waits for it.
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
    const FrameLog log = ReadLog(run.log_path);
    if (!log.frames.empty())
      return log.frames.front().time_us;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return std::nullopt;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

// Time from process start to first frame over `starts` starts, in milliseconds.
std::optional<std::vector<double>> FirstFrames(const std::vector<std::string>& command, int starts,
                                               const std::string& log_path, const char* present) {
  std::vector<double> first_ms;
  for (int i = 0; i < starts; ++i) {
    const Run run = Start(command, log_path, present);
    const auto first = WaitForFirstFrame(run, 10000);
    const int code = Stop(run);
    if (!first) {
      std::fprintf(stderr, "%s: no frame within 10 s (exit %d)\n", command[0].c_str(), code);
      return std::nullopt;
    }
    first_ms.push_back(static_cast<double>(*first - run.started_us) / 1000.0);
  }
  return first_ms;
}

// Runs a shell command line, its output dropped.
void Shell(const std::string& command) {
  const std::string line = command + " >/dev/null 2>&1";
  if (std::system(line.c_str()) != 0)
    std::fprintf(stderr, "failed: %s\n", command.c_str());
}

// A process group of its own running `script` in the shell until Stop.
struct Script {
  pid_t pid = -1;
  explicit Script(const std::string& script) {
    std::fflush(nullptr);  // nothing buffered is written twice
    pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
      execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    setpgid(pid, pid);
  }
  void Stop() {
    kill(-pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
};

struct Scene {
  const char* name;
  // Sets the scene up once the game shows frames; returns what runs during it, if anything.
  std::optional<Script> (*begin)();
  void (*end)();
};

std::optional<Script> NoScene() {
  return std::nullopt;
}
void NoEnd() {}

// Start (A) from the menu, then the ship right and left for 1.5 s each, at its starting
// height, clear of the obstacle, never reaching the screen's edges.
std::optional<Script> BeginPlay() {
  Shell("xdotool keydown a; sleep 0.3; xdotool keyup a");
  SleepSeconds(0.3);
  return Script(
      "while :; do xdotool keydown Right; sleep 1.5; xdotool keyup Right;"
      " xdotool keydown Left; sleep 1.5; xdotool keyup Left; done");
}
void EndPlay() {
  Shell("xdotool keyup Right keyup Left");
}

std::optional<Script> BeginMinimised() {
  Shell("xdotool search --sync --onlyvisible --name '^FullScreen Orvendal$' windowminimize");
  SleepSeconds(0.5);
  return std::nullopt;
}

struct Measured {
  double wall_s = 0;
  std::size_t frames = 0;
  double median_ms = 0;
  double p99_ms = 0;
  double max_ms = 0;
  double game_cpu = -1;
  double server_cpu = -1;
  double bytes_per_frame = 0;
  std::string present;
};

std::optional<Measured> MeasureScene(const Scene& scene, const std::string& game, double seconds,
                                     pid_t server, const std::string& log_path,
                                     const char* present) {
  const Run run = Start({game}, log_path, present);
  if (!WaitForFirstFrame(run, 10000)) {
    Stop(run);
    std::fprintf(stderr, "%s: no frame within 10 s\n", scene.name);
    return std::nullopt;
  }
  SleepSeconds(1);  // past start-up
  std::optional<Script> script = scene.begin();
  const std::int64_t from_us = NowUs();
  const auto game_from = CpuSeconds(run.pid);
  const auto server_from = server != 0 ? CpuSeconds(server) : std::nullopt;
  SleepSeconds(seconds);
  const std::int64_t to_us = NowUs();
  const auto game_to = CpuSeconds(run.pid);
  const auto server_to = server != 0 ? CpuSeconds(server) : std::nullopt;
  if (script)
    script->Stop();
  scene.end();
  const int code = Stop(run);
  if (code != 0)
    std::fprintf(stderr, "%s: the game ended with %d\n", scene.name, code);

  const FrameLog log = ReadLog(log_path);
  Measured m;
  m.present = log.present;
  m.wall_s = static_cast<double>(to_us - from_us) / 1e6;
  std::vector<double> intervals_ms;
  double bytes = 0;
  for (std::size_t i = 0; i < log.frames.size(); ++i) {
    const FrameLine& frame = log.frames[i];
    if (frame.time_us < from_us || frame.time_us > to_us)
      continue;
    ++m.frames;
    bytes += static_cast<double>(frame.bytes);
    if (i > 0 && log.frames[i - 1].time_us >= from_us)
      intervals_ms.push_back(static_cast<double>(frame.time_us - log.frames[i - 1].time_us) / 1000);
  }
  m.median_ms = Percentile(intervals_ms, 0.5);
  m.p99_ms = Percentile(intervals_ms, 0.99);
  m.max_ms = intervals_ms.empty() ? 0 : *std::max_element(intervals_ms.begin(), intervals_ms.end());
  m.bytes_per_frame = m.frames > 0 ? bytes / static_cast<double>(m.frames) : 0;
  if (game_from && game_to)
    m.game_cpu = 100 * (*game_to - *game_from) / m.wall_s;
  if (server_from && server_to)
    m.server_cpu = 100 * (*server_to - *server_from) / m.wall_s;
  return m;
}

int Usage() {
  std::fputs(
      "usage: game_sdl_frame_timing GAME REFERENCE [--starts N] [--seconds S] "
      "[--server-pid PID] [--screen WxH] [--present surface|renderer] [--baseline GAME2]\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3)
    return Usage();
  const std::string game = argv[1];
  const std::string reference = argv[2];
  int starts = 5;
  double seconds = 5;
  pid_t server = 0;
  int screen_width = 0;
  int screen_height = 0;
  const char* present = nullptr;
  std::string baseline;
  for (int i = 3; i < argc; ++i) {
    if (i + 1 >= argc)
      return Usage();
    if (std::strcmp(argv[i], "--starts") == 0) {
      starts = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--seconds") == 0) {
      seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--server-pid") == 0) {
      server = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--screen") == 0) {
      if (std::sscanf(argv[++i], "%dx%d", &screen_width, &screen_height) != 2)
        return Usage();
    } else if (std::strcmp(argv[i], "--present") == 0) {
      present = argv[++i];
    } else if (std::strcmp(argv[i], "--baseline") == 0) {
      baseline = argv[++i];
    } else {
      return Usage();
    }
  }
  if (starts < 1 || seconds < 1)
    return Usage();
  const std::string log_path = "/tmp/orv_frame_times_" + std::to_string(getpid()) + ".txt";

  // Start-up: the game, the two ways of the reference and the baseline build, taking turns
  // so that a passing load on the machine falls on all of them alike.
  std::vector<double> game_ms;
  std::vector<double> surface_ms;
  std::vector<double> renderer_ms;
  std::vector<double> baseline_ms;
  // They take turns at going first, and each start waits for the display server to be
  // done with the program before: none always follows the heavy OpenGL one.
  struct Program {
    std::vector<std::string> command;
    const char* present;
    std::vector<double>* first_ms;
  };
  std::vector<Program> programs = {{{game}, present, &game_ms},
                                   {{reference, "--surface"}, nullptr, &surface_ms},
                                   {{reference}, nullptr, &renderer_ms}};
  if (!baseline.empty())
    programs.push_back({{baseline}, present, &baseline_ms});
  for (int i = 0; i < starts; ++i) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      const Program& program = programs[(static_cast<std::size_t>(i) + turn) % programs.size()];
      SleepSeconds(0.3);
      const auto first = FirstFrames(program.command, 1, log_path, program.present);
      if (!first)
        return 1;
      program.first_ms->push_back(first->front());
    }
  }
  const double game_first = Percentile(game_ms, 0.5);
  const auto line = [](const char* what, const std::vector<double>& ms, double game,
                       const char* ratio = "game / reference") {
    const double median = Percentile(ms, 0.5);
    std::printf("  %-34s %6.1f ms (min %5.1f, max %5.1f)", what, median,
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
    if (game > 0)
      std::printf("   %s %.2f", ratio, game / median);
    std::printf("\n");
  };
  std::printf("first shown frame after process start, median of %d starts:\n", starts);
  line("game", game_ms, 0);
  line("SDL reference, window surface", surface_ms, game_first);
  line("SDL reference, default renderer", renderer_ms, game_first);
  if (!baseline.empty())
    line("baseline build of the game", baseline_ms, game_first, "game / baseline");

  int scale = 1;
  if (screen_width > 0 && screen_height > 0)
    scale = std::max(1, std::min(screen_width / kFrameWidth, screen_height / kFrameHeight));
  const double whole_frame_bytes = 4.0 * kFrameWidth * scale * kFrameHeight * scale;

  const Scene scenes[] = {
      {"title menu", NoScene, NoEnd},
      {"play, ship moving", BeginPlay, EndPlay},
      {"minimised", BeginMinimised, NoEnd},
  };
  std::printf(
      "\n%.0f s per scene; bytes sent per frame against the whole frame at scale %d (%.0f "
      "bytes)\n",
      seconds, scale, whole_frame_bytes);
  std::printf("%-18s %9s %9s %7s %8s %8s %8s %12s %8s\n", "scene", "game CPU", "X CPU", "fps",
              "median", "p99", "max", "bytes/frame", "of whole");
  std::string presented;
  for (const Scene& scene : scenes) {
    const auto m = MeasureScene(scene, game, seconds, server, log_path, present);
    if (!m)
      return 1;
    if (!m->present.empty())
      presented = m->present;
    const auto percent = [](double value) {
      char text[16];
      if (value < 0) {
        std::snprintf(text, sizeof text, "-");
      } else {
        std::snprintf(text, sizeof text, "%.2f %%", value);
      }
      return std::string(text);
    };
    std::printf("%-18s %9s %9s %7.2f", scene.name, percent(m->game_cpu).c_str(),
                percent(m->server_cpu).c_str(), static_cast<double>(m->frames) / m->wall_s);
    if (m->frames >= 2) {
      std::printf(" %5.2f ms %5.2f ms %5.2f ms %12.0f %7.3f%%\n", m->median_ms, m->p99_ms,
                  m->max_ms, m->bytes_per_frame, 100 * m->bytes_per_frame / whole_frame_bytes);
    } else {
      std::printf(" %8s %8s %8s %12s %8s\n", "-", "-", "-", "-", "-");
    }
  }
  std::remove(log_path.c_str());
  std::printf(
      "(goals: fps 60 +/- 0.5, p99 <= 17.67 ms, menu and play <= 1.5 %% each for the "
      "game and X, minimised <= 0.5 %%; frame interval target %.2f ms)\n",
      kFramePeriodMs);
  std::printf("the game presented through the %s\n",
              presented == "renderer" ? "renderer" : "window surface");
  return 0;
}
