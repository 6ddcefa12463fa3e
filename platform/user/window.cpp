// The top-level window: creation, destruction, default handling and direct sends.
#include "core/open_call.h"
#include "core/foreground.h"
#include "core/host.h"
#include "user/user_state.h"

using orv::platform::CurrentHost;
using orv::platform::Foreground;
using orv::platform::Hex;
using orv::platform::kInjectedResult;
using orv::platform::OpenCall;
using namespace orv::platform::user;

namespace {

HWND NextWindowHandle() {
  auto serial = ++State().window_serial;
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10000 + serial * 0x10));
}

// The end of every window: WM_NCDESTROY, the queue's messages for it, the host window.
void FinishWindow(HWND handle) {
  if (Window* window = LiveWindow(handle))
    window->destroying = true;
  SendToWindow(handle, WM_NCDESTROY, 0, 0);
  auto& state = State();
  std::erase_if(state.posted, [handle](const MSG& msg) { return msg.hwnd == handle; });
  if (state.focus == handle)
    state.focus = nullptr;
  if (Foreground().window == handle || Foreground().minimized) {
    orv::platform::SetForeground(nullptr, false);
  }
  if (LiveWindow(handle) != nullptr)
    state.window.reset();
  CurrentHost().CloseWindow();
}

}  // namespace

namespace orv::platform::user {

BOOL DestroyWindowNow(HWND handle) {
  Window* window = LiveWindow(handle);
  if (window == nullptr)
    return FALSE;
  if (window->destroying)
    return TRUE;
  window->destroying = true;
  window->visible = false;
  // An active window is deactivated before it goes.
  if (Foreground().window == handle) {
    DeactivateWindow(handle, false);
  } else if (State().focus == handle) {
    State().focus = nullptr;
    SendToWindow(handle, WM_KILLFOCUS, 0, 0);
  }
  SendToWindow(handle, WM_DESTROY, 0, 0);
  FinishWindow(handle);
  return TRUE;
}

}  // namespace orv::platform::user

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  if (auto early = OpenCall(nullptr, "CreateWindowExA", Hex(ex_style, 4), class_name, window_name,
                            Hex(style, 4), x, y, width, height)) {
    return *early;
  }
  const WindowClass* window_class = FindClass(class_name);
  if (window_class == nullptr)
    return nullptr;  // ERROR_CANNOT_FIND_WND_CLASS
  auto& state = State();
  if (state.window)
    return nullptr;  // one top-level window at a time

  Window window;
  window.handle = NextWindowHandle();
  window.class_atom = window_class->atom;
  window.procedure = window_class->procedure;
  window.title = window_name != nullptr ? window_name : "";
  window.style = style & ~static_cast<DWORD>(WS_VISIBLE);
  window.ex_style = ex_style;
  state.window = window;
  const HWND handle = window.handle;
  CurrentHost().OpenWindow(window.title, width == CW_USEDEFAULT ? 640 : width,
                           height == CW_USEDEFAULT ? 480 : height);

  CREATESTRUCTA create{
      param,       instance,   menu,    parent, height, width, y, x, static_cast<LONG>(style),
      window_name, class_name, ex_style};
  const auto create_param = reinterpret_cast<LPARAM>(&create);
  if (!SendToWindow(handle, WM_NCCREATE, 0, create_param)) {
    // Refused before WM_CREATE: the window only sees WM_NCDESTROY.
    if (LiveWindow(handle) != nullptr)
      FinishWindow(handle);
    return nullptr;
  }
  if (LiveWindow(handle) == nullptr)
    return nullptr;
  if (SendToWindow(handle, WM_CREATE, 0, create_param) == -1) {
    DestroyWindowNow(handle);
    return nullptr;
  }
  if (LiveWindow(handle) == nullptr)
    return nullptr;
  if (style & WS_VISIBLE)
    ShowWindowNow(handle, SW_SHOW);
  return LiveWindow(handle) != nullptr ? handle : nullptr;
}

BOOL DestroyWindow(HWND window) {
  if (auto early = OpenCall(FALSE, "DestroyWindow", window))
    return *early;
  return DestroyWindowNow(window);
}

BOOL IsWindow(HWND window) {
  if (auto early = OpenCall(FALSE, "IsWindow", window))
    return *early;
  return LiveWindow(window) != nullptr ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
  if (auto early = OpenCall(FALSE, "IsIconic", window))
    return *early;
  const Window* live = LiveWindow(window);
  return live != nullptr && live->minimized ? TRUE : FALSE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (auto early =
          OpenCall(kInjectedResult, "SendMessageA", window, Hex(message, 4), wparam, lparam)) {
    return *early;
  }
  return SendToWindow(window, message, wparam, lparam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (auto early =
          OpenCall(kInjectedResult, "DefWindowProcA", window, Hex(message, 4), wparam, lparam)) {
    return *early;
  }
  Window* live = LiveWindow(window);
  if (live == nullptr)
    return 0;
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindowNow(window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE)
        SendToWindow(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_ACTIVATE:
      // An active window that is not minimised takes the keyboard focus.
      if (LOWORD(wparam) != WA_INACTIVE && HIWORD(wparam) == 0)
        SetFocusNow(window);
      return 0;
    case WM_SETCURSOR: {
      const WindowClass* window_class = ClassOfWindow(*live);
      if (LOWORD(lparam) == HTCLIENT && window_class != nullptr &&
          window_class->cursor != nullptr) {
        SetCursorNow(window_class->cursor);
      }
      return FALSE;
    }
    case WM_ERASEBKGND: {
      const WindowClass* window_class = ClassOfWindow(*live);
      return window_class != nullptr && window_class->background != nullptr ? TRUE : FALSE;
    }
    case WM_PAINT:
      live->needs_paint = false;
      return 0;
    default:
      return 0;
  }
}
