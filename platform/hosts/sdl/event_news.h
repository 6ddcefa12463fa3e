// Whether SDL may have an event for the message loop. Asking SDL costs several system calls
// on X11 (it reads the connection to the server each time), which the game would pay on
// every frame; so the loop asks only when the connection has data, Xlib or SDL already
// hold events, or a while has passed since SDL last read them all (SDL also turns signals
// into events and keeps the screen saver away as it reads). Without X11 SDL is always asked.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace orv::platform::sdl {

class EventNews {
 public:
  // Longest time between two reads of SDL's events.
  static constexpr std::uint64_t kLongestQuietUs = 50'000;

  // Watches the window system connection of `window`'s display, when it is X11.
  void Watch(SDL_Window* window);
  void Forget();
  // Whether SDL may have an event to give (or should read anyway).
  bool MayHaveEvents(std::uint64_t now_us);
  // SDL has just been asked and had nothing more.
  void AllRead(std::uint64_t now_us) { last_read_us_ = now_us; }

 private:
  void* display_ = nullptr;  // the X11 Display, when watched
  std::uint64_t last_read_us_ = 0;
};

}  // namespace orv::platform::sdl
