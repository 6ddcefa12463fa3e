#include "hosts/sdl/window_events.h"

namespace orv::platform::sdl {

WindowEvents::Outcome WindowEvents::ChangeState(State state, bool minimize_window) {
  Outcome outcome;
  outcome.minimize_window = minimize_window;
  if (state == state_)
    return outcome;
  state_ = state;
  if (state == State::kActive) {
    outcome.event = HostEvent{HostEventType::kFocusGained, false};
  } else {
    outcome.event = HostEvent{HostEventType::kFocusLost, state == State::kMinimized};
  }
  return outcome;
}

WindowEvents::Outcome WindowEvents::Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      return {HostEvent{HostEventType::kPointerMoved, false}, false};
    case SDL_KEYDOWN: {
      // Held keys repeat; only the press itself switches.
      const SDL_Keycode key = event.key.keysym.sym;
      Outcome outcome;
      outcome.toggle_full_screen = event.key.repeat == 0 &&
                                   (key == SDLK_RETURN || key == SDLK_KP_ENTER) &&
                                   (event.key.keysym.mod & KMOD_ALT) != 0;
      return outcome;
    }
    case SDL_QUIT:
      // SDL follows the close of its last window with a quit event: that request was
      // already reported. A quit on its own (an interrupt signal) is a request of its own.
      if (close_reported_) {
        close_reported_ = false;
        return {};
      }
      return {HostEvent{HostEventType::kCloseRequested, false}, false};
    case SDL_WINDOWEVENT:
      break;
    default:
      return {};
  }

  switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
      close_reported_ = true;
      return {HostEvent{HostEventType::kCloseRequested, false}, false};
    case SDL_WINDOWEVENT_FOCUS_LOST:
      if (state_ == State::kMinimized)
        return {};
      if (full_screen_)
        return ChangeState(State::kMinimized, true);
      return ChangeState(State::kInactive);
    case SDL_WINDOWEVENT_MINIMIZED:
      return ChangeState(State::kMinimized);
    case SDL_WINDOWEVENT_RESTORED:
      // Restoring a minimised window activates it; restoring from maximised does not.
      if (state_ != State::kMinimized)
        return {};
      return ChangeState(State::kActive);
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      return ChangeState(State::kActive);
    default:
      return {};
  }
}

}  // namespace orv::platform::sdl
