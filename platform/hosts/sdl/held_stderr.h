// Keeps what the process writes to standard error off the terminal for a while: the
// libraries under SDL (Xlib, libwayland, drivers) write their own messages there while
// SDL starts them, which mean nothing to a player.
#pragma once

#include <string>

namespace orv::platform::sdl {

class HeldStandardError {
 public:
  // From here on, what is written to file descriptor 2 goes to a temporary file. When no
  // temporary file can be made, nothing is held.
  HeldStandardError();
  // Releases the hold, dropping the text, if Release() was not called.
  ~HeldStandardError();
  HeldStandardError(const HeldStandardError&) = delete;
  HeldStandardError& operator=(const HeldStandardError&) = delete;

  // Gives standard error back and returns what was written to it meanwhile.
  std::string Release();

 private:
  int saved_ = -1;
  int held_ = -1;
};

// The last line of `text` that is not empty, without its line feed.
std::string LastLine(const std::string& text);

}  // namespace orv::platform::sdl
