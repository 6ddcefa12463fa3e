// A test's one shown window on the headless host: its class, its creation and showing,
// the message queue pumped, and the focus lost and regained as the user does it.
#pragma once

#include <gtest/gtest.h>

#include "hosts/headless/headless_host.h"
#include "platform.h"

namespace orv::test_support {

// A test's window: 640x480 at the origin, of a class of its own.
struct TestWindow {
  const char* class_name = "TestWindow";
  const char* title = "Test window";
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD ex_style = 0;
  WNDPROC procedure = DefWindowProcA;
  HCURSOR cursor = nullptr;
};

// Registers the window's class; 0 where it is refused.
ATOM RegisterTestClass(const TestWindow& shape);
// Creates a window of the registered class, hidden unless its style says otherwise.
HWND CreateTestWindow(const TestWindow& shape);
// Registers, creates and shows the window as a program does: it is the active window.
HWND ShowTestWindow(const TestWindow& shape);

// Dispatches every message waiting, translated first as a program's loop does; reading
// the queue turns the host's events into messages.
void PumpMessages();

// A headless host (or one derived from it) with one shown window, destroyed at the end
// when it is still there.
template <typename HostType = platform::HeadlessHost>
class ShownWindowTest : public ::testing::Test {
 protected:
  explicit ShownWindowTest(const TestWindow& shape = {}) : shape_(shape) {
    window = ShowTestWindow(shape_);
  }
  ~ShownWindowTest() override { DestroyTestWindow(); }

  // A new window of the same shape, after host.Reset() took the old one.
  void ShowWindowAgain() { window = ShowTestWindow(shape_); }
  void DestroyTestWindow() {
    if (window != nullptr && IsWindow(window))
      DestroyWindow(window);
  }

  void PumpMessages() { test_support::PumpMessages(); }
  // Focus changes as the user makes them, delivered through the message queue.
  void SwitchAway(bool minimized) {
    host.LoseFocus(minimized);
    PumpMessages();
  }
  void SwitchBack() {
    host.GainFocus();
    PumpMessages();
  }

  HostType host;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = nullptr;

 private:
  TestWindow shape_;
};

}  // namespace orv::test_support
