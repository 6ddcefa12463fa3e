// Turns SDL's window, mouse and quit events into the host's window events, the way
// Windows reports activation: one report per change of state, and an exclusive-mode
// window that loses the foreground is minimised.
#pragma once

#include <SDL.h>

#include <optional>

#include "core/host.h"

namespace orv::platform::sdl {

class WindowEvents {
 public:
  // What the host must do for one SDL event.
  struct Outcome {
    std::optional<HostEvent> event;  // the event to report, if any
    bool minimize_window = false;    // the window must be minimised first
  };

  Outcome Translate(const SDL_Event& event);

  // Exclusive mode changes how a loss of the foreground ends.
  void SetExclusive(bool exclusive) { exclusive_ = exclusive; }
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
  bool exclusive_ = false;
  bool close_reported_ = false;
};

}  // namespace orv::platform::sdl
