// The thread's message queue: posting, the quit message, peeking, getting, dispatching.
#include "core/open_call.h"
#include "core/host.h"
#include "user/host_events.h"
#include "user/user_state.h"

using orv::platform::CurrentHost;
using orv::platform::FieldText;
using orv::platform::Hex;
using orv::platform::kInjectedResult;
using orv::platform::OpenCall;
using namespace orv::platform::user;

namespace {

// hWnd filter of PeekMessageA/GetMessageA that selects thread messages only.
const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

bool Matches(const MSG& msg, HWND window, UINT filter_min, UINT filter_max) {
  if (window == kThreadMessagesOnly) {
    if (msg.hwnd != nullptr)
      return false;
  } else if (window != nullptr && msg.hwnd != window) {
    return false;
  }
  if (filter_min == 0 && filter_max == 0)
    return true;
  return msg.message >= filter_min && msg.message <= filter_max;
}

bool ValidFilter(HWND window) {
  return window == nullptr || window == kThreadMessagesOnly || LiveWindow(window) != nullptr;
}

// Posted messages first, in order; the quit message once no posted message passes the
// filter (the quit message itself passes any filter).
bool TakeMessage(MSG& out, HWND window, UINT filter_min, UINT filter_max, bool remove) {
  auto& state = State();
  for (auto it = state.posted.begin(); it != state.posted.end(); ++it) {
    if (!Matches(*it, window, filter_min, filter_max))
      continue;
    out = *it;
    if (remove)
      state.posted.erase(it);
    return true;
  }
  if (state.quit_pending) {
    out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(state.quit_code), 0, MessageTime(), {0, 0}};
    if (remove)
      state.quit_pending = false;
    return true;
  }
  return false;
}

}  // namespace

namespace orv::platform::user {

BOOL PostMessageNow(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  if (handle != nullptr && LiveWindow(handle) == nullptr)
    return FALSE;
  State().posted.push_back(MSG{handle, message, wparam, lparam, MessageTime(), {0, 0}});
  return TRUE;
}

}  // namespace orv::platform::user

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (auto early = OpenCall(FALSE, "PostMessageA", window, Hex(message, 4), wparam, lparam))
    return *early;
  return PostMessageNow(window, message, wparam, lparam);
}

void PostQuitMessage(int exit_code) {
  if (OpenCall(kInjectedResult, "PostQuitMessage", exit_code))
    return;
  State().quit_pending = true;
  State().quit_code = exit_code;
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max, UINT remove) {
  if (auto early = OpenCall(FALSE, "PeekMessageA", window, Hex(filter_min, 4), Hex(filter_max, 4),
                            Hex(remove, 4))) {
    return *early;
  }
  if (msg == nullptr || !ValidFilter(window))
    return FALSE;
  PumpHostEvents();
  return TakeMessage(*msg, window, filter_min, filter_max, (remove & PM_REMOVE) != 0) ? TRUE
                                                                                      : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max) {
  // A failed call answers -1, as GetMessageA reports errors.
  if (auto early = OpenCall(-1, "GetMessageA", window, Hex(filter_min, 4), Hex(filter_max, 4)))
    return *early;
  if (msg == nullptr || !ValidFilter(window))
    return -1;
  for (;;) {
    PumpHostEvents();
    if (TakeMessage(*msg, window, filter_min, filter_max, true)) {
      return msg->message == WM_QUIT ? 0 : 1;
    }
    CurrentHost().WaitForEvent();
  }
}

// Returns once there is something for the thread: a message in the queue, or a window
// event handled meanwhile (which may have sent messages, as activation does). The host
// blocks until its next event.
BOOL WaitMessage() {
  if (auto early = OpenCall(FALSE, "WaitMessage"))
    return *early;
  MSG msg;
  while (PumpHostEvents() == 0 && !TakeMessage(msg, nullptr, 0, 0, false))
    CurrentHost().WaitForEvent();
  return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (auto early = OpenCall(FALSE, "TranslateMessage", Hex(msg ? msg->message : 0, 4)))
    return *early;
  if (msg == nullptr)
    return FALSE;
  // No keyboard messages are generated here, so there are no characters to make.
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (auto early = OpenCall(kInjectedResult, "DispatchMessageA", FieldText(msg, &MSG::hwnd),
                            Hex(msg ? msg->message : 0, 4))) {
    return *early;
  }
  if (msg == nullptr || msg->hwnd == nullptr)
    return 0;
  return SendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
