// A capture script: what to press, when to capture a frame and when to close the game,
// on the virtual clock. One command a line, `#` starts a comment:
//   <ms> press <KEY> | release <KEY> | capture <file.png> | sequence <prefix> <count> <every_ms>
//   | close
// Keys: UP DOWN LEFT RIGHT A B C X Y Z L R M ESCAPE RETURN SPACE.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

struct CaptureCommand {
  enum class Kind { kPress, kRelease, kCapture, kClose };
  std::uint64_t at_ms = 0;
  Kind kind = Kind::kClose;
  std::uint8_t key = 0;
  std::string path;
};

// Parses a script; on a malformed line, returns nothing and sets `error`.
std::optional<std::vector<CaptureCommand>> ParseCaptureScript(std::istream& input,
                                                              std::string& error);

// The script behind the pictures of the README.
const char* DefaultCaptureScript();
