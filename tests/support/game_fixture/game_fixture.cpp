#include "game_fixture.h"

#include <algorithm>

#include "app/frame_driver.h"
#include "app/window.h"
#include "display/display.h"
#include "input/input_devices.h"
#include "platform_fixture/surface_pixels.h"

GameTest::GameTest() {
  Game = InitialGameGlobals();
}

GameTest::~GameTest() {
  ReleaseInput();
  if (window != nullptr && IsWindow(window))
    DestroyWindow(window);
  Game = InitialGameGlobals();
}

void GameTest::StartGame() {
  HINSTANCE instance = GetModuleHandleA(NULL);
  window = CreateGameWindow(instance, SW_SHOWDEFAULT);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(SetupDisplay(window), 0);
  ASSERT_TRUE(SetupInput(instance, window));
}

void GameTest::RunFrameAt(std::uint32_t tick_ms) {
  host.SetNowMicroseconds(std::uint64_t{tick_ms} * 1000);
  TickFrame(window);
}

void GameTest::HoldKeys(std::initializer_list<std::uint8_t> keys) {
  for (int key = 0; key < 256; ++key)
    host.ReleaseKey(static_cast<std::uint8_t>(key));
  for (std::uint8_t key : keys)
    host.PressKey(key);
}

int GameTest::CountCalls(const std::string& operation) const {
  const auto operations = orv::platform::Diag().JournalOperations();
  return static_cast<int>(std::count(operations.begin(), operations.end(), operation));
}

bool GameTest::MessageQueued(UINT message) {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == message)
      return true;
  }
  return false;
}

using orv::test_support::LockedSurface;

namespace {
template <typename Screen>
bool ScreenShowsKeyedSprite(LPDIRECTDRAWSURFACE7 sheet, const RECT& cell, LONG x, LONG y,
                            const Screen& screen) {
  DDCOLORKEY key{};
  if (sheet->GetColorKey(DDCKEY_SRCBLT, &key) != DD_OK)
    return false;
  LockedSurface source(sheet);
  LockedSurface background(Game.Display.BackImageSurface);
  if (!source.locked() || !background.locked())
    return false;
  for (LONG row = 0; row < cell.bottom - cell.top; ++row) {
    for (LONG column = 0; column < cell.right - cell.left; ++column) {
      const std::uint8_t sprite = source.At(cell.left + column, cell.top + row);
      const std::uint8_t expected =
          sprite == key.dwColorSpaceLowValue ? background.At(x + column, y + row) : sprite;
      if (screen(x + column, y + row) != expected) {
        ADD_FAILURE() << "pixel (" << x + column << ", " << y + row << ")";
        return false;
      }
    }
  }
  return true;
}
}  // namespace

bool GameTest::ShowsKeyedSprite(LPDIRECTDRAWSURFACE7 sheet, const RECT& cell, LONG x, LONG y) {
  LockedSurface screen(Game.Display.BackBuffer);
  if (!screen.locked())
    return false;
  return ScreenShowsKeyedSprite(sheet, cell, x, y,
                                [&](LONG px, LONG py) { return screen.At(px, py); });
}

bool GameTest::PresentedKeyedSprite(LPDIRECTDRAWSURFACE7 sheet, const RECT& cell, LONG x, LONG y) {
  const auto& frame = host.last_frame();
  if (frame.width != 640 || frame.height != 480)
    return false;
  return ScreenShowsKeyedSprite(sheet, cell, x, y,
                                [&](LONG px, LONG py) { return frame.IndexAt(px, py); });
}

bool GameTest::ShowsBackground(const RECT& area) {
  LockedSurface background(Game.Display.BackImageSurface);
  LockedSurface screen(Game.Display.BackBuffer);
  if (!background.locked() || !screen.locked())
    return false;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      if (screen.At(x, y) != background.At(x, y))
        return false;
    }
  }
  return true;
}
