// ShowWindow, UpdateWindow, SetFocus and GetFocus.
#include "core/open_call.h"
#include "core/foreground.h"
#include "user/user_state.h"

using orv::platform::Foreground;
using orv::platform::OpenCall;
using namespace orv::platform::user;

namespace {

enum class ShowKind { kHide, kMinimize, kShow };

ShowKind KindOf(int show_command) {
  switch (show_command) {
    case SW_HIDE:
      return ShowKind::kHide;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      return ShowKind::kMinimize;
    default:
      return ShowKind::kShow;
  }
}

// Commands that bring a minimised window back to its normal place.
bool Restores(int show_command) {
  return show_command == SW_SHOWNORMAL || show_command == SW_SHOWMAXIMIZED ||
         show_command == SW_SHOWNOACTIVATE || show_command == SW_RESTORE ||
         show_command == SW_SHOWDEFAULT;
}

bool Activates(int show_command) {
  return show_command == SW_SHOWNORMAL || show_command == SW_SHOWMAXIMIZED ||
         show_command == SW_SHOW || show_command == SW_RESTORE || show_command == SW_SHOWDEFAULT;
}

// Sends WM_SHOWWINDOW when the window changes visibility; false if it went away.
bool SetVisible(HWND handle, bool visible) {
  Window* window = LiveWindow(handle);
  if (window == nullptr)
    return false;
  if (window->visible == visible)
    return true;
  window->visible = visible;
  if (visible)
    window->needs_paint = true;
  SendToWindow(handle, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
  return LiveWindow(handle) != nullptr;
}

bool IsForeground(HWND handle, bool minimized) {
  return Foreground().window == handle && Foreground().minimized == minimized;
}

}  // namespace

namespace orv::platform::user {

BOOL ShowWindowNow(HWND handle, int show_command) {
  const Window* window = LiveWindow(handle);
  if (window == nullptr || show_command < SW_HIDE || show_command > SW_MAX)
    return FALSE;
  const BOOL was_visible = window->visible ? TRUE : FALSE;

  switch (KindOf(show_command)) {
    case ShowKind::kHide:
      if (!SetVisible(handle, false))
        break;
      if (Foreground().window == handle)
        DeactivateWindow(handle, false);
      break;

    case ShowKind::kMinimize: {
      if (!SetVisible(handle, true))
        break;
      LiveWindow(handle)->minimized = true;
      if (show_command == SW_SHOWMINIMIZED) {
        // Active, but minimised.
        if (!IsForeground(handle, true))
          ActivateWindow(handle, true);
      } else if (Foreground().window == handle) {
        // The window gives up the foreground as it goes to the task bar.
        DeactivateWindow(handle, true);
      }
      break;
    }

    case ShowKind::kShow: {
      if (!SetVisible(handle, true))
        break;
      Window* live = LiveWindow(handle);
      if (live->minimized && Restores(show_command)) {
        live->minimized = false;
        live->needs_paint = true;
      }
      if (Activates(show_command) && !IsForeground(handle, live->minimized)) {
        ActivateWindow(handle, live->minimized);
      }
      break;
    }
  }
  return was_visible;
}

HWND SetFocusNow(HWND handle) {
  auto& state = State();
  const HWND previous = state.focus;
  if (handle == nullptr) {
    if (previous != nullptr) {
      state.focus = nullptr;
      SendToWindow(previous, WM_KILLFOCUS, 0, 0);
    }
    return previous;
  }
  const Window* window = LiveWindow(handle);
  if (window == nullptr)
    return nullptr;
  if (previous == handle)
    return previous;
  // Focusing a window of an inactive top-level window activates it first.
  if (window->visible && Foreground().window != handle)
    ActivateWindow(handle, window->minimized);
  // Activation's default handling may have focused it already.
  if (state.focus == handle || LiveWindow(handle) == nullptr)
    return previous;
  state.focus = handle;
  SendToWindow(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

}  // namespace orv::platform::user

BOOL ShowWindow(HWND window, int show_command) {
  if (auto early = OpenCall(FALSE, "ShowWindow", window, show_command))
    return *early;
  return ShowWindowNow(window, show_command);
}

BOOL UpdateWindow(HWND window) {
  if (auto early = OpenCall(FALSE, "UpdateWindow", window))
    return *early;
  Window* live = LiveWindow(window);
  if (live == nullptr)
    return FALSE;
  if (live->visible && live->needs_paint) {
    // Nothing here paints in the background, so one WM_PAINT settles the window.
    live->needs_paint = false;
    SendToWindow(window, WM_PAINT, 0, 0);
  }
  return TRUE;
}

HWND SetFocus(HWND window) {
  if (auto early = OpenCall(nullptr, "SetFocus", window))
    return *early;
  return SetFocusNow(window);
}

HWND GetFocus() {
  if (auto early = OpenCall(nullptr, "GetFocus"))
    return *early;
  return State().focus;
}
