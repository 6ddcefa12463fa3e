// Plays the game on the headless host under random input and random disturbances and
// prints what happened:
//   orvendal_soak [--seed N] [--frames N]
// Exit code 0 when every check held, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "soak_run.h"

namespace {
bool ParseNumber(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return end != text && *end == '\0';
}
}  // namespace

int main(int argc, char** argv) {
  SoakOptions options;
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--seed") == 0 && has_value &&
        ParseNumber(argv[i + 1], options.seed)) {
      ++i;
    } else if (std::strcmp(argv[i], "--frames") == 0 && has_value &&
               ParseNumber(argv[i + 1], options.frames) && options.frames > 0) {
      ++i;
    } else {
      std::fputs("usage: orvendal_soak [--seed N] [--frames N]\n", stderr);
      return 2;
    }
  }

  const SoakResult result = RunSoak(options);
  std::printf("seed %llu: %llu frames, %llu disturbances, %llu recoveries\n",
              static_cast<unsigned long long>(options.seed),
              static_cast<unsigned long long>(result.frames),
              static_cast<unsigned long long>(result.disturbances),
              static_cast<unsigned long long>(result.recoveries));
  std::printf(
      "worst recovery %.1f ms (%llu frames), longest gap between frames %.1f ms (virtual time)\n",
      result.worst_recovery_us / 1000.0,
      static_cast<unsigned long long>(result.worst_recovery_frames),
      result.longest_frame_gap_us / 1000.0);
  std::printf("exit code %d, platform objects left %d\n", result.exit_code, result.objects_left);
  for (const std::string& problem : result.problems)
    std::printf("problem: %s\n", problem.c_str());
  return result.ok() ? 0 : 1;
}
