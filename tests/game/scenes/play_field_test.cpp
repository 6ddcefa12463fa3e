#include <gtest/gtest.h>

#include <cstring>

#include "shared/game_state.h"
#include "game/play_field.h"
#include "game_fixture.h"
#include "input/controls.h"

namespace {

class PlayFieldTest : public GameTest {
 protected:
  void SetUp() override {
    StartGame();
    ResetActors();
    Game.GameState = STATE_PLAY;
  }

  void PlaceAndPlay(LONG x, LONG y, std::initializer_list<std::uint8_t> keys) {
    Game.Player.x = x;
    Game.Player.y = y;
    HoldKeys(keys);
    RunPlayFrame(window);
  }
};

TEST_F(PlayFieldTest, StartPlacesTheActorsAndTheFirstFrameAlreadyMoves) {
  Game.Player = Actor{};
  Game.Obstacle = Actor{};
  Game.GameState = STATE_START;
  HoldKeys({DIK_RIGHT});
  RunFrameAt(5000);
  EXPECT_EQ(Game.GameState, STATE_PLAY);
  EXPECT_EQ(Game.Player.x, 102);
  EXPECT_EQ(Game.Player.y, 100);
  EXPECT_EQ(Game.Player.speed, 2);
  EXPECT_EQ(Game.Player.active, 1);
  const RECT ship = {144, 0, 192, 46};
  const RECT orb = {58, 144, 116, 202};
  EXPECT_EQ(std::memcmp(&Game.Player.src, &ship, sizeof ship), 0);
  EXPECT_EQ(Game.Obstacle.x, 400);
  EXPECT_EQ(Game.Obstacle.y, 300);
  EXPECT_EQ(std::memcmp(&Game.Obstacle.src, &orb, sizeof orb), 0);
  EXPECT_EQ(Game.Obstacle.speed, 1);
  EXPECT_EQ(Game.Obstacle.active, 1);
}

struct MoveCase {
  const char* name;
  LONG x, y;
  std::initializer_list<std::uint8_t> keys;
  LONG expected_x, expected_y;
};

TEST_F(PlayFieldTest, PlayerMovesTwoPixelsPerFrameAndStaysOnScreen) {
  const MoveCase cases[] = {
      {"right", 100, 100, {DIK_RIGHT}, 102, 100},
      {"up and left, diagonally", 100, 100, {DIK_UP, DIK_LEFT}, 98, 98},
      {"left with right cancels", 100, 100, {DIK_LEFT, DIK_RIGHT}, 100, 100},
      {"up with down cancels", 100, 100, {DIK_UP, DIK_DOWN}, 100, 100},
      {"left edge", 0, 100, {DIK_LEFT}, 0, 100},
      {"one pixel from the left edge", 1, 100, {DIK_LEFT}, 0, 100},
      {"right edge", 592, 100, {DIK_RIGHT}, 592, 100},
      {"top edge", 100, 0, {DIK_UP}, 100, 0},
      {"bottom edge", 100, 434, {DIK_DOWN}, 100, 434},
      {"A moves nothing", 100, 100, {DIK_A}, 100, 100},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    PlaceAndPlay(test.x, test.y, test.keys);
    EXPECT_EQ(Game.Player.x, test.expected_x);
    EXPECT_EQ(Game.Player.y, test.expected_y);
    EXPECT_EQ(Game.Obstacle.x, 400);
    EXPECT_EQ(Game.Obstacle.y, 300);
  }
}

struct ContactCase {
  const char* name;
  LONG x, y;
  bool contact;
};

TEST_F(PlayFieldTest, ContactIncludesCellsThatOnlyMeetAtAnEdge) {
  const ContactCase cases[] = {
      {"from the left, a gap of two", 350, 300, false},
      {"from the left, edges meet", 352, 300, true},
      {"from the right, edges meet", 458, 300, true},
      {"from the right, a gap", 459, 300, false},
      {"from above, a gap", 400, 253, false},
      {"from above, edges meet", 400, 254, true},
      {"from below, edges meet", 400, 358, true},
      {"from below, a gap", 400, 359, false},
      {"through the ship's transparent margin", 400, 255, true},
      {"far away", 100, 100, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Game.GameState = STATE_PLAY;
    PlaceAndPlay(test.x, test.y, {});
    EXPECT_EQ(Game.GameState, test.contact ? STATE_MENU : STATE_PLAY);
    EXPECT_EQ(Game.Player.x, test.x);  // contact moves nothing
  }
}

TEST_F(PlayFieldTest, DrawsBothActorsKeyedOverTheBackground) {
  PlaceAndPlay(100, 100, {});
  EXPECT_TRUE(ShowsKeyedSprite(Game.Display.CharacterSurface, Game.Player.src, 100, 100));
  EXPECT_TRUE(ShowsKeyedSprite(Game.Display.CharacterSurface, Game.Obstacle.src, 400, 300));
}

struct FailedBlitCase {
  const char* name;
  int passing_blits;  // blits that succeed before the failing one
  bool polled_and_moved;
  bool contact_tested;
};

TEST_F(PlayFieldTest, FailedBlitEndsTheFrameWhereItHappened) {
  const FailedBlitCase cases[] = {
      {"background", 0, false, false},
      {"player", 1, true, false},
      {"obstacle", 2, true, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Game.GameState = STATE_PLAY;
    Game.PlayControls = 0;
    host.diagnostics().InjectFault("IDirectDrawSurface7::BltFast", DDERR_GENERIC, 1,
                                   test.passing_blits);
    // Right moves the ship from 350 into contact at 352.
    PlaceAndPlay(350, 300, {DIK_RIGHT});
    EXPECT_EQ(Game.Player.x, test.polled_and_moved ? 352 : 350);
    EXPECT_EQ(Game.PlayControls, test.polled_and_moved ? CTRL_RIGHT : 0u);
    EXPECT_EQ(Game.GameState, test.contact_tested ? STATE_MENU : STATE_PLAY);
  }
}

TEST_F(PlayFieldTest, NewGameStartsFromTheResetValues) {
  PlaceAndPlay(352, 300, {});
  ASSERT_EQ(Game.GameState, STATE_MENU);
  Game.GameState = STATE_START;
  HoldKeys({});
  RunFrameAt(5000);
  EXPECT_EQ(Game.GameState, STATE_PLAY);
  EXPECT_EQ(Game.Player.x, 100);
  EXPECT_EQ(Game.Player.y, 100);
  EXPECT_EQ(Game.Obstacle.x, 400);
  EXPECT_EQ(Game.Obstacle.y, 300);
}

}  // namespace
