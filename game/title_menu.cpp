// The title menu: background, logo, Start / Option / Exit and the cursor, moved with a
// 200 ms repeat delay and wrapping around; A activates the selected item.
#include "game/title_menu.h"

#include "shared/game_state.h"
#include "shared/game_globals.h"
#include "display/display.h"
#include "input/controls.h"

namespace {
struct MenuCursorRecord {
  RECT src;      // the cursor triangle in the menu sheet
  LONG x;        // screen x
  LONG first_y;  // screen y of the first item row
};
constexpr MenuCursorRecord MenuCursor = {{102, 57, 119, 82}, 260, 300};

constexpr LONG kScreenWidth = 640;
constexpr LONG kScreenHeight = 480;
constexpr LONG kItemsTop = 300;
constexpr LONG kItemPitch = 32;
constexpr LONG kItemCount = 3;
constexpr LONG kItemStart = 0;
constexpr LONG kItemExit = 2;
constexpr DWORD kRepeatDelay = 200;  // milliseconds between cursor moves

constexpr RECT kLogoRect = {0, 0, 220, 32};
constexpr RECT kItemRects[kItemCount] = {
    {0, 177, 51, 199},    // Start
    {56, 177, 123, 199},  // Option
    {96, 130, 132, 152},  // Exit
};

void MoveCursor(ControlFlags flags) {
  if (Game.MenuTick - Game.MenuLastMoveTick < kRepeatDelay)
    return;
  if (flags & CTRL_UP) {
    Game.MenuSelection -= 1;
    if (Game.MenuSelection < 0)
      Game.MenuSelection = kItemCount - 1;
    Game.MenuLastMoveTick = Game.MenuTick;
  }
  if (flags & CTRL_DOWN) {
    Game.MenuSelection += 1;
    if (Game.MenuSelection > kItemCount - 1)
      Game.MenuSelection = 0;
    Game.MenuLastMoveTick = Game.MenuTick;
  }
}
}  // namespace

HRESULT RunTitleMenu(HWND window) {
  Game.MenuTick = Game.FrameTick;
  const ControlFlags flags = PollControls();
  const DisplayObjects& display = Game.Display;

  RECT screen = {0, 0, kScreenWidth, kScreenHeight};
  HRESULT result =
      BlitSprite(display.BackBuffer, 0, 0, display.BackImageSurface, &screen, DDBLTFAST_NOCOLORKEY);
  if (result != 0)
    return result;

  RECT logo = kLogoRect;
  result =
      BlitSprite(display.BackBuffer, 210, 100, display.MenuSurface, &logo, DDBLTFAST_SRCCOLORKEY);
  if (result != 0)
    return result;

  for (LONG i = 0; i < kItemCount; ++i) {
    RECT item = kItemRects[i];
    const LONG x = (kScreenWidth - (item.right - item.left)) / 2;
    const LONG y = kItemsTop + kItemPitch * i;
    result =
        BlitSprite(display.BackBuffer, x, y, display.MenuSurface, &item, DDBLTFAST_SRCCOLORKEY);
    if (result != 0)
      return result;
  }

  MoveCursor(flags);

  RECT cursor = MenuCursor.src;
  result = BlitSprite(display.BackBuffer, MenuCursor.x,
                      MenuCursor.first_y + kItemPitch * Game.MenuSelection, display.MenuSurface,
                      &cursor, DDBLTFAST_SRCCOLORKEY);
  if (result != 0)
    return result;

  if (flags & CTRL_A) {
    if (Game.MenuSelection == kItemStart) {
      Game.GameState = STATE_START;
    } else if (Game.MenuSelection == kItemExit) {
      return PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }
  return 0;
}
