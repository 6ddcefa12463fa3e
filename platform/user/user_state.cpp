#include "user/user_state.h"

#include <cctype>

#include "core/foreground.h"
#include "core/host.h"
#include "core/reset.h"

namespace orv::platform::user {
namespace {

void ResetUserState() {
  // Back to process start without sending anything: the procedures of a finished
  // test may no longer be callable.
  State() = UserState();
}

const ResetHook kReset(ResetOrder::kWindows, &ResetUserState);

// Class names compare without regard to case, as in Windows.
bool SameName(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == '\0')
      return false;
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return b[i] == '\0';
}

}  // namespace

UserState& State() {
  static UserState state;
  return state;
}

Window* LiveWindow(HWND handle) {
  auto& window = State().window;
  if (handle == nullptr || !window || window->handle != handle)
    return nullptr;
  return &*window;
}

const WindowClass* FindClass(LPCSTR name_or_atom) {
  if (name_or_atom == nullptr)
    return nullptr;
  for (const auto& window_class : State().classes) {
    if (IS_INTRESOURCE(name_or_atom)
            ? window_class.atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name_or_atom))
            : SameName(window_class.name, name_or_atom)) {
      return &window_class;
    }
  }
  return nullptr;
}

const WindowClass* ClassOfWindow(const Window& window) {
  for (const auto& window_class : State().classes) {
    if (window_class.atom == window.class_atom)
      return &window_class;
  }
  return nullptr;
}

LRESULT SendToWindow(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  const Window* window = LiveWindow(handle);
  if (window == nullptr || window->procedure == nullptr)
    return 0;
  // The procedure may create, destroy or re-enter anything; nothing is held across it.
  WNDPROC procedure = window->procedure;
  return procedure(handle, message, wparam, lparam);
}

void ActivateWindow(HWND handle, bool minimized) {
  if (LiveWindow(handle) == nullptr)
    return;
  SetForeground(handle, minimized);
  SendToWindow(handle, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, minimized ? 1 : 0), 0);
}

void DeactivateWindow(HWND handle, bool minimized) {
  if (LiveWindow(handle) == nullptr)
    return;
  SetForeground(nullptr, minimized);
  SendToWindow(handle, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, minimized ? 1 : 0), 0);
  if (State().focus == handle) {
    State().focus = nullptr;
    SendToWindow(handle, WM_KILLFOCUS, 0, 0);
  }
}

DWORD MessageTime() {
  return static_cast<DWORD>(CurrentHost().NowMicroseconds() / 1000);
}

}  // namespace orv::platform::user
