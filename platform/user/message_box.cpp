// MessageBoxA: the host shows the box; the owner is inactive while it is up.
#include "core/open_call.h"
#include "core/foreground.h"
#include "core/host.h"
#include "user/user_state.h"

using orv::platform::CurrentHost;
using orv::platform::Foreground;
using orv::platform::Hex;
using orv::platform::OpenCall;
using namespace orv::platform::user;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (auto early = OpenCall(0, "MessageBoxA", owner, text, caption, Hex(type, 4)))
    return *early;
  if (owner != nullptr && LiveWindow(owner) == nullptr)
    return 0;  // ERROR_INVALID_WINDOW_HANDLE

  if (owner != nullptr && Foreground().window == owner)
    DeactivateWindow(owner, false);
  CurrentHost().ShowMessageBox(text != nullptr ? text : "", caption != nullptr ? caption : "Error");
  // Dismissing the box gives the foreground back to its owner.
  if (const Window* window = LiveWindow(owner); window != nullptr && !window->destroying) {
    ActivateWindow(owner, window->minimized);
  }
  return IDOK;
}
