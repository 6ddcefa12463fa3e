// Starting SDL's video on the display the environment names, and the player's one-line
// reason when there is none.
#pragma once

#include <string>

namespace orv::platform::sdl {

struct VideoStart {
  bool video_ready =
      false;               // SDL's video subsystem is up (possibly on a driver that shows nothing)
  std::string no_display;  // why nothing can be shown; empty when a display is open
};

// Initialises SDL's video subsystem. When SDL_VIDEODRIVER names no driver, only the
// displays that DISPLAY (X11) and WAYLAND_DISPLAY (Wayland) name are tried, in that
// order, so that SDL does not fall back to a driver that shows nothing. What the libraries
// write to standard error meanwhile is dropped unless `library_output`; when a display
// does not open, the last line they wrote is its answer in the reason.
VideoStart StartVideo(bool library_output);

}  // namespace orv::platform::sdl
