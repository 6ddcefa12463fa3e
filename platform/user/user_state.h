// State of the window layer: registered classes, the one top-level window, focus,
// cursor and the thread's message queue. Internal to platform/user/.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "win/base.h"
#include "win/user.h"

namespace orv::platform::user {

// Stock arrow cursor, the pointer's shape at start-up.
HCURSOR StockArrowCursor();

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC procedure = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

struct Window {
  HWND handle = nullptr;
  ATOM class_atom = 0;
  WNDPROC procedure = nullptr;
  std::string title;
  DWORD style = 0;
  DWORD ex_style = 0;
  bool visible = false;
  bool minimized = false;
  bool needs_paint = false;
  bool destroying = false;
};

struct UserState {
  std::vector<WindowClass> classes;
  ATOM next_atom = 0xC000;
  // The stand-in holds one top-level window at a time.
  std::optional<Window> window;
  std::uintptr_t window_serial = 0;
  HWND focus = nullptr;
  HCURSOR cursor = StockArrowCursor();
  std::deque<MSG> posted;
  bool quit_pending = false;
  int quit_code = 0;
};

UserState& State();

// The live window with this handle (also while it is being destroyed), or null.
// The pointer is only good until the next call into a window procedure.
Window* LiveWindow(HWND handle);
const WindowClass* FindClass(LPCSTR name_or_atom);
const WindowClass* ClassOfWindow(const Window& window);

// Calls the window's procedure; 0 when the window does not exist.
LRESULT SendToWindow(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);

// The window takes (or leaves) the foreground and is told through WM_ACTIVATE.
void ActivateWindow(HWND handle, bool minimized);
void DeactivateWindow(HWND handle, bool minimized);

// The operations behind the entry points, for use inside the window layer without
// journalling or fault injection.
BOOL ShowWindowNow(HWND handle, int show_command);
HWND SetFocusNow(HWND handle);
BOOL DestroyWindowNow(HWND handle);
HCURSOR SetCursorNow(HCURSOR cursor);
BOOL PostMessageNow(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);

// Milliseconds of the host's clock, as message times carry them.
DWORD MessageTime();

}  // namespace orv::platform::user
