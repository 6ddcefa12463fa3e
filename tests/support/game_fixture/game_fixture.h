// A game started on the headless host the way WinMain starts it, for the suites of
// the window, the frame driver and the scenes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shared/game_globals.h"
#include "hosts/headless/headless_host.h"

class GameTest : public ::testing::Test {
 protected:
  GameTest();
  ~GameTest() override;

  // Creates the window, the display and the input devices; fails the test otherwise.
  void StartGame();
  // Runs one frame with the tick counter at `tick_ms`.
  void RunFrameAt(std::uint32_t tick_ms);
  // Holds exactly the given keys (DirectInput key codes).
  void HoldKeys(std::initializer_list<std::uint8_t> keys);
  // Calls of `operation` in the journal since it was last cleared.
  int CountCalls(const std::string& operation) const;
  // Whether a message of this kind waits in the queue.
  bool MessageQueued(UINT message);

  // Whether the back buffer shows `cell` of `sheet` at (x, y) over the background:
  // the sheet's pixels where they are not its colour key, the background elsewhere.
  bool ShowsKeyedSprite(LPDIRECTDRAWSURFACE7 sheet, const RECT& cell, LONG x, LONG y);
  // Whether the back buffer shows the background picture within `area`.
  bool ShowsBackground(const RECT& area);
  // Whether the last presented frame shows `cell` of `sheet` keyed over the background.
  bool PresentedKeyedSprite(LPDIRECTDRAWSURFACE7 sheet, const RECT& cell, LONG x, LONG y);

  orv::platform::HeadlessHost host;
  HWND window = nullptr;
};
