// Turns SDL's window, mouse and quit events into the host's window events, the way
// Windows reports activation: one report per change of state, and a full-screen
// window that loses the foreground is minimised. Alt+Enter asks the host to switch the
// exclusive display between full screen and a window.
#pragma once

#include <SDL.h>

#include <optional>

#include "core/host.h"

namespace orv::platform::sdl {

class WindowEvents {
 public:
  // What the host must do for one SDL event.
  struct Outcome {
    std::optional<HostEvent> event;   // the event to report, if any
    bool minimize_window = false;     // the window must be minimised first
    bool toggle_full_screen = false;  // Alt+Enter: full screen to a window or back
  };

  Outcome Translate(const SDL_Event& event);

  // A full-screen window changes how a loss of the foreground ends.
  void SetFullScreen(bool full_screen) { full_screen_ = full_screen; }
  // Whether the last report left the window minimised.
  bool minimized() const { return state_ == State::kMinimized; }
  // A new window starts active, as after Windows showed and focused it.
  void Reset() {
    state_ = State::kActive;
    close_reported_ = false;
  }

 private:
  enum class State { kActive, kInactive, kMinimized };
  Outcome ChangeState(State state, bool minimize_window = false);

  State state_ = State::kActive;
  bool full_screen_ = false;
  bool close_reported_ = false;
};

}  // namespace orv::platform::sdl
