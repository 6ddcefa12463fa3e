#include "user/host_events.h"

#include "core/host.h"
#include "user/user_state.h"

namespace orv::platform::user {
namespace {

void Handle(const HostEvent& event) {
  Window* window = LiveWindow(State().window ? State().window->handle : nullptr);
  if (window == nullptr || window->destroying)
    return;
  const HWND handle = window->handle;
  switch (event.type) {
    case HostEventType::kPointerMoved:
      SendToWindow(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      break;
    case HostEventType::kFocusLost:
      window->minimized = event.minimized;
      DeactivateWindow(handle, event.minimized);
      break;
    case HostEventType::kFocusGained:
      window->minimized = false;
      ActivateWindow(handle, false);
      break;
    case HostEventType::kCloseRequested:
      // The system close command ends in a WM_CLOSE through the queue.
      PostMessageNow(handle, WM_CLOSE, 0, 0);
      break;
  }
}

}  // namespace

int PumpHostEvents() {
  int handled = 0;
  HostEvent event;
  while (CurrentHost().PollEvent(event)) {
    Handle(event);
    ++handled;
  }
  return handled;
}

}  // namespace orv::platform::user
