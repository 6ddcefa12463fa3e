// The host's window events as the message loop turns them into Windows behaviour.
#include <functional>

#include "core/foreground.h"
#include "recording_window.h"

namespace orv::platform::testing {
namespace {

using HostEventsTest = RecordingWindowTest;

TEST_F(HostEventsTest, EventsAreSentWhenTheQueueIsRead) {
  struct Case {
    const char* name;
    std::function<void(HeadlessHost&)> event;
    std::vector<SeenMessage> expected;  // filled in with the window's handle below
    bool foreground;
    bool minimized;
  };
  const Case cases[] = {
      {"pointer", [](HeadlessHost& h) { h.MovePointer(); }, {}, true, false},
      {"lost",
       [](HeadlessHost& h) { h.LoseFocus(false); },
       {{WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0}, {WM_KILLFOCUS, 0, 0}},
       false,
       false},
      {"minimised",
       [](HeadlessHost& h) { h.LoseFocus(true); },
       {{WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0}, {WM_KILLFOCUS, 0, 0}},
       false,
       true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    HWND window = CreateActive();
    auto expected = test.expected;
    if (expected.empty()) {
      expected = {
          {WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)}};
    }
    test.event(host);
    EXPECT_TRUE(seen.empty());  // nothing happens until the queue is read

    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // sent, not posted
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Foreground().window, test.foreground ? window : nullptr);
    EXPECT_EQ(Foreground().minimized, test.minimized);
    EXPECT_EQ(IsIconic(window), test.minimized ? TRUE : FALSE);
    DestroyWindow(window);
  }
}

TEST_F(HostEventsTest, RegainingFocusReactivatesAMinimisedWindow) {
  HWND window = CreateActive();
  host.LoseFocus(true);
  host.GainFocus();
  MSG msg{};
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0},
                                            {WM_KILLFOCUS, 0, 0},
                                            {WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0},
                                            {WM_SETFOCUS, 0, 0}}));
  EXPECT_EQ(Foreground().window, window);
  EXPECT_FALSE(Foreground().minimized);
  EXPECT_FALSE(IsIconic(window));
}

TEST_F(HostEventsTest, CloseRequestPostsCloseWhoseDefaultDestroysTheWindow) {
  HWND window = CreateActive();
  host.RequestClose();
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(msg.hwnd, window);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));

  DispatchMessageA(&msg);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(host.window_open());
}

TEST_F(HostEventsTest, EventsWithoutAWindowAreDropped) {
  host.MovePointer();
  host.RequestClose();
  host.LoseFocus(true);
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Foreground().window, nullptr);
  EXPECT_FALSE(Foreground().minimized);
}

TEST_F(HostEventsTest, HidingTheCursorOnSetCursorKeepsThePointerHidden) {
  // What the game's procedure does with WM_SETCURSOR.
  reaction = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_SETCURSOR) {
      SetCursor(nullptr);
      return TRUE;
    }
    return std::nullopt;
  };
  CreateActive();
  host.MovePointer();
  MSG msg{};
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_FALSE(host.pointer_visible());

  // Left to the default, the class cursor shows the pointer again.
  reaction = nullptr;
  host.MovePointer();
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_TRUE(host.pointer_visible());
}

}  // namespace
}  // namespace orv::platform::testing
