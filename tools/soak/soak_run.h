// A long run of the real game from WinMain on the headless host, with random keys and
// joystick moves and random disturbances: lost surfaces, restores and reloads that fail,
// a device that stays busy, a lock that fails, the joystick unplugged and back, the
// focus lost and back, the window minimised and restored. Every frame shown while
// nothing is disturbed must be the frame the game's state calls for, and after each
// disturbance such a frame must come back within a bound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SoakOptions {
  std::uint64_t seed = 1;
  std::uint64_t frames = 20'000;                 // frames shown before the close request
  std::uint64_t recovery_bound_frames = 30;      // frames shown after a disturbance
  std::uint64_t frame_gap_bound_us = 1'000'000;  // between frames while the game is shown
};

struct SoakResult {
  int exit_code = -1;
  std::uint64_t frames = 0;             // frames shown
  std::uint64_t disturbances = 0;       // faults injected and window events caused
  std::uint64_t recoveries = 0;         // disturbances after which a correct frame came back
  std::uint64_t worst_recovery_us = 0;  // of virtual time, from the disturbance's end
  std::uint64_t worst_recovery_frames = 0;
  std::uint64_t longest_frame_gap_us = 0;
  int objects_left = 0;  // platform objects alive after WinMain returned
  std::vector<std::string> problems;

  bool ok() const { return exit_code == 0 && problems.empty() && objects_left == 0; }
};

SoakResult RunSoak(const SoakOptions& options);
