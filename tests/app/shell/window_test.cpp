#include <gtest/gtest.h>

#include "app/window.h"
#include "game_fixture.h"

namespace {

class WindowTest : public GameTest {
 protected:
  void SetUp() override { StartGame(); }
};

TEST_F(WindowTest, ActivationTracksOnlyTheMinimisedFlag) {
  struct Case {
    WPARAM wparam;
    LONG app_active;
  };
  const Case cases[] = {
      {MAKELONG(WA_ACTIVE, 0), 1},      {MAKELONG(WA_INACTIVE, 0), 1},
      {MAKELONG(WA_CLICKACTIVE, 0), 1}, {MAKELONG(WA_INACTIVE, 1), 0},
      {MAKELONG(WA_ACTIVE, 1), 0},      {MAKELONG(WA_ACTIVE, 0), 1},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.wparam);
    Game.AppActive = 1 - test.app_active;
    EXPECT_EQ(GameWindowProc(window, WM_ACTIVATE, test.wparam, 0), 0);
    EXPECT_EQ(Game.AppActive, test.app_active);
  }
}

TEST_F(WindowTest, WindowIsActiveOnceShown) {
  EXPECT_EQ(Game.AppActive, 1);
}

TEST_F(WindowTest, PointerOverTheWindowIsHidden) {
  EXPECT_EQ(GameWindowProc(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_FALSE(host.pointer_visible());
}

TEST_F(WindowTest, CloseDestroysTheWindowReleasesTheDisplayAndQuits) {
  ASSERT_NE(Game.Display.DirectDrawObject, nullptr);
  EXPECT_EQ(GameWindowProc(window, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Game.Display.DirectDrawObject, nullptr);
  EXPECT_EQ(Game.Display.PrimarySurface, nullptr);
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), 0);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
