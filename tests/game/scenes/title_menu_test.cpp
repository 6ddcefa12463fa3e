#include <gtest/gtest.h>

#include "shared/game_state.h"
#include "game/title_menu.h"
#include "game_fixture.h"
#include "input/controls.h"

namespace {

class TitleMenuTest : public GameTest {
 protected:
  void SetUp() override { StartGame(); }

  HRESULT RunMenuAt(DWORD tick) {
    Game.FrameTick = tick;
    return RunTitleMenu(window);
  }
};

struct CursorCase {
  const char* name;
  LONG selection;
  DWORD last_move;
  DWORD now;
  std::initializer_list<std::uint8_t> keys;
  LONG expected_selection;
  DWORD expected_last_move;
};

TEST_F(TitleMenuTest, CursorMovesWithRepeatDelayAndWrapsAround) {
  const CursorCase cases[] = {
      {"up on Start selects Exit", 0, 0, 1000, {DIK_UP}, 2, 1000},
      {"down on Exit selects Start", 2, 0, 1000, {DIK_DOWN}, 0, 1000},
      {"down on Start selects Option", 0, 0, 1000, {DIK_DOWN}, 1, 1000},
      {"199 ms after the last move", 1, 900, 1099, {DIK_DOWN}, 1, 900},
      {"200 ms after the last move", 1, 900, 1100, {DIK_DOWN}, 2, 1100},
      {"up and down together come back, stamped", 1, 0, 1000, {DIK_UP, DIK_DOWN}, 1, 1000},
      {"nothing held", 1, 0, 1000, {}, 1, 0},
      {"other keys have no effect", 1, 0, 1000, {DIK_LEFT, DIK_RIGHT, DIK_B}, 1, 0},
      {"tick counter wrapped", 0, 0xFFFFFF00u, 0x10, {DIK_DOWN}, 1, 0x10},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Game.MenuSelection = test.selection;
    Game.MenuLastMoveTick = test.last_move;
    HoldKeys(test.keys);
    EXPECT_EQ(RunMenuAt(test.now), 0);
    EXPECT_EQ(Game.MenuSelection, test.expected_selection);
    EXPECT_EQ(Game.MenuLastMoveTick, test.expected_last_move);
    EXPECT_EQ(Game.MenuTick, test.now);
  }
}

TEST_F(TitleMenuTest, HeldDirectionRepeatsEveryTwoHundredMilliseconds) {
  HoldKeys({DIK_DOWN});
  std::vector<LONG> selections;
  for (DWORD tick = 1000; tick <= 1650; tick += 50) {
    RunMenuAt(tick);
    selections.push_back(Game.MenuSelection);
  }
  // Moves at 1000, 1200, 1400 and 1600 ms: Option, Exit, Start, Option.
  const std::vector<LONG> expected = {1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1, 1};
  EXPECT_EQ(selections, expected);
}

struct ActivationCase {
  const char* name;
  LONG selection;
  std::initializer_list<std::uint8_t> keys;
  LONG expected_selection;
  BYTE expected_state;
  bool expect_close;
};

TEST_F(TitleMenuTest, ActivationActsOnTheSelectionLeftByTheMove) {
  const ActivationCase cases[] = {
      {"A on Start starts a game", 0, {DIK_A}, 0, STATE_START, false},
      {"A on Exit closes the window", 2, {DIK_A}, 2, STATE_MENU, true},
      {"A on Option does nothing", 1, {DIK_A}, 1, STATE_MENU, false},
      {"down and A on Option close", 1, {DIK_DOWN, DIK_A}, 2, STATE_MENU, true},
      {"up and A on Option start", 1, {DIK_UP, DIK_A}, 0, STATE_START, false},
      {"Start without A stays", 0, {}, 0, STATE_MENU, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Game.GameState = STATE_MENU;
    Game.MenuSelection = test.selection;
    Game.MenuLastMoveTick = 0;
    HoldKeys(test.keys);
    const HRESULT result = RunMenuAt(5000);
    EXPECT_EQ(Game.MenuSelection, test.expected_selection);
    EXPECT_EQ(Game.GameState, test.expected_state);
    EXPECT_EQ(MessageQueued(WM_CLOSE), test.expect_close);
    // The frame that posts the close request returns the post's result.
    EXPECT_EQ(result, test.expect_close ? TRUE : 0);
  }
}

TEST_F(TitleMenuTest, FailedBlitEndsTheFrameAndDropsItsControls) {
  // The logo is the second blit of the frame.
  host.diagnostics().InjectFault("IDirectDrawSurface7::BltFast", DDERR_GENERIC, 1, 1);
  Game.MenuSelection = 0;
  HoldKeys({DIK_DOWN, DIK_A});
  EXPECT_EQ(RunMenuAt(5000), DDERR_GENERIC);
  EXPECT_EQ(Game.MenuSelection, 0);
  EXPECT_EQ(Game.MenuLastMoveTick, 0u);
  EXPECT_EQ(Game.GameState, STATE_MENU);
}

TEST_F(TitleMenuTest, DrawsTheMenuOverTheBackgroundWithTheCursorBesideTheSelection) {
  const RECT logo = {0, 0, 220, 32};
  const RECT start = {0, 177, 51, 199};
  const RECT option = {56, 177, 123, 199};
  const RECT exit = {96, 130, 132, 152};
  const RECT cursor = {102, 57, 119, 82};
  for (LONG selection : {0, 1, 2}) {
    SCOPED_TRACE(selection);
    Game.MenuSelection = selection;
    HoldKeys({});
    ASSERT_EQ(RunMenuAt(5000), 0);
    LPDIRECTDRAWSURFACE7 menu = Game.Display.MenuSurface;
    EXPECT_TRUE(ShowsKeyedSprite(menu, logo, 210, 100));
    EXPECT_TRUE(ShowsKeyedSprite(menu, start, 294, 300));
    EXPECT_TRUE(ShowsKeyedSprite(menu, option, 286, 332));
    EXPECT_TRUE(ShowsKeyedSprite(menu, exit, 302, 364));
    EXPECT_TRUE(ShowsKeyedSprite(menu, cursor, 260, 300 + 32 * selection));
    // The rows without the cursor show the background there.
    for (LONG row : {0, 1, 2}) {
      if (row == selection)
        continue;
      EXPECT_TRUE(ShowsBackground({260, 300 + 32 * row, 277, 325 + 32 * row})) << row;
    }
  }
}

}  // namespace
