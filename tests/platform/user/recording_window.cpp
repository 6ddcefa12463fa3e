#include "recording_window.h"

#include <ostream>

namespace orv::platform::testing {

void PrintTo(const SeenMessage& seen, std::ostream* out) {
  *out << std::hex << "{0x" << seen.message << ", 0x" << seen.wparam << ", 0x" << seen.lparam << "}"
       << std::dec;
}

void RecordingWindowTest::TearDown() {
  reaction = nullptr;
  seen.clear();
}

LRESULT CALLBACK RecordingWindowTest::Procedure(HWND window, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
  seen.push_back({message, wparam, lparam});
  if (reaction) {
    // A copy: the reaction may replace itself.
    Reaction current = reaction;
    if (auto result = current(window, message, wparam, lparam))
      return *result;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void RecordingWindowTest::Register() {
  if (registered_)
    return;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = &Procedure;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.lpszClassName = kClassName;
  ASSERT_NE(RegisterClassA(&window_class), 0);
  registered_ = true;
}

HWND RecordingWindowTest::Create(DWORD style) {
  Register();
  return CreateWindowExA(WS_EX_TOPMOST, kClassName, "Test window", style, 0, 0, 640, 480, nullptr,
                         nullptr, nullptr, nullptr);
}

HWND RecordingWindowTest::CreateActive() {
  HWND window = Create();
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetFocus(window);
  seen.clear();
  return window;
}

std::vector<UINT> RecordingWindowTest::Messages() const {
  std::vector<UINT> messages;
  for (const auto& entry : seen)
    messages.push_back(entry.message);
  return messages;
}

}  // namespace orv::platform::testing
