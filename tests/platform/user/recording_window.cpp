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
  ASSERT_NE(test_support::RegisterTestClass({.class_name = kClassName,
                                             .procedure = &Procedure,
                                             .cursor = LoadCursorA(nullptr, IDC_ARROW)}),
            0);
  registered_ = true;
}

HWND RecordingWindowTest::Create(DWORD style) {
  Register();
  return test_support::CreateTestWindow({.class_name = kClassName,
                                         .title = "Test window",
                                         .style = style,
                                         .ex_style = WS_EX_TOPMOST});
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
