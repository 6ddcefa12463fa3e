#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/frame_driver.h"
#include "shared/game_state.h"
#include "game_fixture.h"

namespace {

class FrameDriverTest : public GameTest {
 protected:
  void SetUp() override {
    StartGame();
    host.diagnostics().SetJournalEnabled(true);
  }

  void RunFrameWithJournal(std::uint32_t tick) {
    orv::platform::Diag().ClearJournal();
    RunFrameAt(tick);
  }
};

struct RefreshCase {
  const char* name;
  DWORD last_fps_tick;
  LONG frames_before;
  DWORD now;
  const char* expected_text;
  LONG expected_count;
  DWORD expected_last_fps_tick;
};

TEST_F(FrameDriverTest, TextRefreshesOncePerIntervalOfAtLeastOneSecond) {
  const RefreshCase cases[] = {
      {"999 ms", 0, 59, 999, "", 60, 0},
      {"1000 ms", 0, 59, 1000, "0060 FPS", 0, 1000},
      {"across the counter's wrap", 0xFFFFFF00u, 59, 0x2E8, "0060 FPS", 0, 0x2E8},
      {"after a pause: the count, not a rate", 1000, 10, 7000, "0011 FPS", 0, 7000},
      {"five digits", 0, 12344, 1500, "12345 FPS", 0, 1500},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    std::memset(Game.FpsText, 0, sizeof Game.FpsText);
    Game.LastFpsTick = test.last_fps_tick;
    Game.FrameCount = test.frames_before;
    RunFrameAt(test.now);
    EXPECT_STREQ(Game.FpsText, test.expected_text);
    EXPECT_EQ(Game.FrameCount, test.expected_count);
    EXPECT_EQ(Game.LastFpsTick, test.expected_last_fps_tick);
    EXPECT_EQ(Game.FrameTick, test.now);
  }
}

TEST_F(FrameDriverTest, TextIsDrawnGlyphByGlyphAtTheTopLeft) {
  Game.FrameCount = 59;
  RunFrameAt(1000);
  ASSERT_STREQ(Game.FpsText, "0060 FPS");
  const std::string text = Game.FpsText;
  for (std::size_t i = 0; i < text.size(); ++i) {
    SCOPED_TRACE(i);
    const LONG left = (static_cast<unsigned char>(text[i]) - 32) * 8;
    const RECT glyph = {left, 0, left + 8, 16};
    EXPECT_TRUE(PresentedKeyedSprite(Game.Display.StringsSurface, glyph, 8 * i, 0));
  }
}

TEST_F(FrameDriverTest, NoTextDuringTheFirstSecond) {
  RunFrameWithJournal(500);
  EXPECT_STREQ(Game.FpsText, "");
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), 6);  // the menu alone
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Flip"), 1);
}

TEST_F(FrameDriverTest, FailedGlyphSkipsTheRestAndTheFlip) {
  std::strcpy(Game.FpsText, "0060 FPS");
  const int presented = host.presented_count();
  // The menu's six blits pass; the first glyph fails.
  host.diagnostics().InjectFault("IDirectDrawSurface7::BltFast", DDERR_GENERIC, 1, 6);
  RunFrameWithJournal(500);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), 7);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Flip"), 0);
  EXPECT_EQ(host.presented_count(), presented);
  EXPECT_EQ(Game.FrameCount, 1);
}

TEST_F(FrameDriverTest, UnknownStateDrawsOnlyTheTextAndFlips) {
  std::strcpy(Game.FpsText, "0060 FPS");
  Game.GameState = 5;
  RunFrameWithJournal(500);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), 8);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Flip"), 1);
  EXPECT_EQ(Game.GameState, 5);
}

TEST_F(FrameDriverTest, MenuStateRunsTheMenuAndStartRunsTheFirstPlayFrame) {
  Game.GameState = STATE_MENU;
  RunFrameWithJournal(500);
  EXPECT_EQ(Game.MenuTick, 500u);
  EXPECT_EQ(Game.GameState, STATE_MENU);

  Game.GameState = STATE_START;
  RunFrameWithJournal(600);
  EXPECT_EQ(Game.GameState, STATE_PLAY);
  EXPECT_EQ(Game.Player.x, 100);
  // Background, ship and orb, then the flip.
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), 3);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Flip"), 1);
}

}  // namespace
