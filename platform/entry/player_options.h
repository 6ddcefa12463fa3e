// The options a player gives the portable program. The game itself reads no command line;
// the start-up reads these before it calls WinMain and hands them to the host.
#pragma once

#include <string>

namespace orv::platform {

// The largest --scale.
constexpr int kLargestWindowScale = 16;

struct PlayerOptions {
  bool windowed = false;  // --window: the exclusive display starts in a window
  int window_scale = 0;   // --scale N: that window is N times the display mode; 0 when not given
};

// What the start-up does with the command line.
struct StartUpChoice {
  bool run = true;     // false: end at once with exit_code, after writing the texts
  int exit_code = 0;   // 0 after --help or --version, 2 after a wrong argument
  std::string output;  // for standard output: the help or the version
  std::string error;   // for standard error: one line on what was wrong
  PlayerOptions options;
};

// Reads the arguments after the program name: --window, --scale N (or --scale=N, a whole
// number from 1 to kLargestWindowScale), --help and --version. --help and --version end
// the start-up where they stand; any other argument is an error.
StartUpChoice ReadPlayerOptions(int argc, const char* const* argv);

// "orvendal" and the version, as --version prints it (without the line feed).
std::string VersionLine();

}  // namespace orv::platform
