// ShowWindow's activation, UpdateWindow's paint and SetFocus.
#include "core/foreground.h"
#include "recording_window.h"

namespace orv::platform::testing {
namespace {

using ShowAndFocusTest = RecordingWindowTest;

// The procedure of the game's window: WM_ACTIVATE is handled, not passed on.
std::optional<LRESULT> KeepActivation(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_ACTIVATE)
    return 0;
  return std::nullopt;
}

TEST_F(ShowAndFocusTest, FirstShowSendsShowWindowAndActivates) {
  const WPARAM active = MAKEWPARAM(WA_ACTIVE, 0);
  const WPARAM active_minimized = MAKEWPARAM(WA_ACTIVE, 1);
  struct Case {
    int command;
    std::vector<SeenMessage> expected;
    bool foreground;
    bool minimized;
  };
  const Case cases[] = {
      {SW_SHOWDEFAULT, {{WM_SHOWWINDOW, TRUE, 0}, {WM_ACTIVATE, active, 0}}, true, false},
      {SW_SHOWNORMAL, {{WM_SHOWWINDOW, TRUE, 0}, {WM_ACTIVATE, active, 0}}, true, false},
      {SW_SHOW, {{WM_SHOWWINDOW, TRUE, 0}, {WM_ACTIVATE, active, 0}}, true, false},
      {SW_SHOWNA, {{WM_SHOWWINDOW, TRUE, 0}}, false, false},
      {SW_SHOWNOACTIVATE, {{WM_SHOWWINDOW, TRUE, 0}}, false, false},
      {SW_SHOWMINIMIZED,
       {{WM_SHOWWINDOW, TRUE, 0}, {WM_ACTIVATE, active_minimized, 0}},
       true,
       true},
      {SW_HIDE, {}, false, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.command);
    HWND window = Create();
    seen.clear();
    reaction = &KeepActivation;

    EXPECT_FALSE(ShowWindow(window, test.command));  // it was hidden
    EXPECT_EQ(seen, test.expected);
    EXPECT_EQ(Foreground().window, test.foreground ? window : nullptr);
    EXPECT_EQ(Foreground().minimized, test.minimized);
    EXPECT_EQ(IsIconic(window), test.minimized ? TRUE : FALSE);

    reaction = nullptr;
    DestroyWindow(window);
  }
}

TEST_F(ShowAndFocusTest, DefaultActivationTakesTheFocusAndASecondShowDoesNothing) {
  HWND window = Create();
  seen.clear();
  EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_SHOWWINDOW, TRUE, 0},
                                            {WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0},
                                            {WM_SETFOCUS, 0, 0}}));
  EXPECT_EQ(GetFocus(), window);

  seen.clear();
  EXPECT_TRUE(ShowWindow(window, SW_SHOWNORMAL));
  EXPECT_TRUE(seen.empty());
}

TEST_F(ShowAndFocusTest, MinimizingAndRestoringAnActiveWindow) {
  HWND window = CreateActive();
  EXPECT_TRUE(ShowWindow(window, SW_MINIMIZE));
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0},
                                            {WM_KILLFOCUS, 0, 0}}));
  EXPECT_TRUE(IsIconic(window));
  EXPECT_EQ(Foreground().window, nullptr);
  EXPECT_TRUE(Foreground().minimized);

  seen.clear();
  EXPECT_TRUE(ShowWindow(window, SW_RESTORE));
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0},
                                            {WM_SETFOCUS, 0, 0}}));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_EQ(Foreground().window, window);
  EXPECT_FALSE(Foreground().minimized);
}

TEST_F(ShowAndFocusTest, HidingAnActiveWindowDeactivatesIt) {
  HWND window = CreateActive();
  EXPECT_TRUE(ShowWindow(window, SW_HIDE));
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_SHOWWINDOW, FALSE, 0},
                                            {WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0},
                                            {WM_KILLFOCUS, 0, 0}}));
  EXPECT_EQ(Foreground().window, nullptr);
}

TEST_F(ShowAndFocusTest, UpdateWindowPaintsAShownWindowOnce) {
  HWND window = Create();
  seen.clear();
  EXPECT_TRUE(UpdateWindow(window));
  EXPECT_TRUE(seen.empty());  // hidden windows are not painted

  ShowWindow(window, SW_SHOWNORMAL);
  seen.clear();
  EXPECT_TRUE(UpdateWindow(window));
  EXPECT_TRUE(UpdateWindow(window));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_PAINT}));
  EXPECT_FALSE(UpdateWindow(reinterpret_cast<HWND>(0x1234)));
}

TEST_F(ShowAndFocusTest, SetFocusSendsSetFocusOnceAndReturnsThePreviousFocus) {
  HWND window = Create();
  reaction = &KeepActivation;
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);
  seen.clear();

  EXPECT_EQ(SetFocus(window), nullptr);
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_SETFOCUS, 0, 0}}));
  EXPECT_EQ(GetFocus(), window);

  seen.clear();
  EXPECT_EQ(SetFocus(window), window);
  EXPECT_TRUE(seen.empty());

  EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x1234)), nullptr);
  EXPECT_EQ(GetFocus(), window);

  EXPECT_EQ(SetFocus(nullptr), window);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_KILLFOCUS}));
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(ShowAndFocusTest, FocusingAShownInactiveWindowActivatesItFirst) {
  HWND window = Create();
  ShowWindow(window, SW_SHOWNA);
  seen.clear();
  EXPECT_EQ(SetFocus(window), nullptr);
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0},
                                            {WM_SETFOCUS, 0, 0}}));
  EXPECT_EQ(Foreground().window, window);
}

}  // namespace
}  // namespace orv::platform::testing
