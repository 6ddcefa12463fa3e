// The whole program from WinMain on the headless host, played by a script over
// virtual time: menu, a game driven into the orb, the menu again, and Exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/frame_driver.h"
#include "shared/game_state.h"
#include "art_files.h"
#include "game_fixture.h"

namespace {

constexpr std::uint64_t kMs = 1000;
constexpr std::uint8_t kSheetKey = 145;  // the key green of the menu and the font

// The title menu as it must appear, composed from the art files alone.
IndexedImage ComposeTitleMenu(const char* fps_text) {
  IndexedImage screen = ReadArtFile("backimage.bmp");
  const IndexedImage menu = ReadArtFile("menu.bmp");
  ComposeKeyed(screen, menu, 0, 0, 220, 32, 210, 100, kSheetKey);
  ComposeKeyed(screen, menu, 0, 177, 51, 199, 294, 300, kSheetKey);
  ComposeKeyed(screen, menu, 56, 177, 123, 199, 286, 332, kSheetKey);
  ComposeKeyed(screen, menu, 96, 130, 132, 152, 302, 364, kSheetKey);
  ComposeKeyed(screen, menu, 102, 57, 119, 82, 260, 300, kSheetKey);
  const IndexedImage font = ReadArtFile("strings.bmp");
  for (int i = 0; fps_text[i] != '\0'; ++i) {
    const int left = (fps_text[i] - 32) * 8;
    ComposeKeyed(screen, font, left, 0, left + 8, 16, 8 * i, 0, kSheetKey);
  }
  return screen;
}

class EndToEndTest : public GameTest {
 protected:
  // Holds `keys` from `from_ms` for `duration_ms`.
  void Hold(std::uint64_t from_ms, std::uint64_t duration_ms,
            std::initializer_list<std::uint8_t> keys) {
    const std::vector<std::uint8_t> held(keys);
    host.At(from_ms * kMs, [held](auto& h) {
      for (auto key : held)
        h.PressKey(key);
    });
    host.At((from_ms + duration_ms) * kMs, [held](auto& h) {
      for (auto key : held)
        h.ReleaseKey(key);
    });
  }
  void CheckAt(std::uint64_t at_ms, std::function<void()> check) {
    host.At(at_ms * kMs, [check](auto&) { check(); });
  }
};

TEST_F(EndToEndTest, MenuGameContactMenuAndExit) {
  host.diagnostics().SetJournalEnabled(true);
  std::vector<orv::platform::CapturedFrame> title_frames;
  host.OnPresent([&](const orv::platform::CapturedFrame& frame) {
    if ((frame.time_us > 500 * kMs && title_frames.empty()) ||
        (frame.time_us > 2500 * kMs && title_frames.size() == 1)) {
      title_frames.push_back(frame);
    }
  });

  // The cursor: down to Option, then up to Start again after the repeat delay.
  Hold(3000, 150, {DIK_DOWN});
  CheckAt(3250, [] { EXPECT_EQ(Game.MenuSelection, 1); });
  Hold(3300, 150, {DIK_UP});
  CheckAt(3550, [] { EXPECT_EQ(Game.MenuSelection, 0); });
  // Start, then drive the ship down and right into the orb.
  Hold(4000, 50, {DIK_A});
  CheckAt(4200, [] {
    EXPECT_EQ(Game.GameState, STATE_PLAY);
    EXPECT_EQ(Game.Player.x, 100);
    EXPECT_EQ(Game.Player.y, 100);
  });
  // Down to the orb's height, then right into it: the ship touches it at x 352.
  Hold(4500, 1700, {DIK_DOWN});
  CheckAt(6250, [] {
    EXPECT_EQ(Game.GameState, STATE_PLAY);
    EXPECT_EQ(Game.Player.x, 100);
    EXPECT_GE(Game.Player.y, 254);
    EXPECT_LE(Game.Player.y, 358);
  });
  Hold(6300, 2700, {DIK_RIGHT});
  CheckAt(9100, [] {
    EXPECT_EQ(Game.GameState, STATE_MENU);
    EXPECT_EQ(Game.MenuSelection, 0);
    // The ship stopped where it first touched the orb.
    EXPECT_EQ(Game.Player.x, 352);
  });
  // Down twice to Exit, then A.
  Hold(9500, 100, {DIK_DOWN});
  Hold(9800, 100, {DIK_DOWN});
  CheckAt(10000, [] { EXPECT_EQ(Game.MenuSelection, 2); });
  Hold(10200, 50, {DIK_A});
  // Should the script go wrong, the window is closed all the same.
  host.At(20000 * kMs, [](auto& h) { h.RequestClose(); });

  char command_line[] = "";
  EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, command_line, SW_SHOWDEFAULT), 0);

  ASSERT_EQ(title_frames.size(), 2u);
  const IndexedImage first_second = ComposeTitleMenu("");
  EXPECT_TRUE(title_frames[0].indices == first_second.indices) << "title menu at 0.5 s";
  const IndexedImage third_second = ComposeTitleMenu("0060 FPS");
  EXPECT_TRUE(title_frames[1].indices == third_second.indices) << "title menu at 2.5 s";

  const auto operations = orv::platform::Diag().JournalOperations();
  const auto display = std::find(operations.begin(), operations.end(), "IDirectDraw7::Release");
  const auto input = std::find(operations.begin(), operations.end(), "IDirectInput7A::Release");
  EXPECT_LT(display, input);
  EXPECT_NE(input, operations.end());
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
  EXPECT_FALSE(host.window_open());
}

}  // namespace
