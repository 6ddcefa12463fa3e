// MessageBoxA: the host shows the box; the owner is inactive while it is up.
#include "core/diagnostics.h"
#include "core/foreground.h"
#include "core/host.h"
#include "user/journal_text.h"
#include "user/user_state.h"

using orv::platform::CurrentHost;
using orv::platform::Diag;
using orv::platform::Foreground;
using namespace orv::platform::user;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (Diag().EnterCall("MessageBoxA", HandleText(owner), NameText(text), NameText(caption),
                       Hex(type))) {
    return 0;
  }
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
