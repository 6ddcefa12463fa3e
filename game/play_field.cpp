// The play field: the ship moves with the controls and stays on screen; touching the
// orb, edges included, ends the game and brings back the title menu.
#include "game/play_field.h"

#include "shared/game_state.h"
#include "shared/game_globals.h"
#include "display/display.h"
#include "input/controls.h"

namespace {
constexpr LONG kScreenWidth = 640;
constexpr LONG kScreenHeight = 480;

LONG Width(const RECT& rect) {
  return rect.right - rect.left;
}
LONG Height(const RECT& rect) {
  return rect.bottom - rect.top;
}

// Keeps an actor's cell wholly on the screen.
void ClampToScreen(Actor& actor) {
  if (actor.x < 0)
    actor.x = 0;
  if (actor.x + Width(actor.src) > kScreenWidth)
    actor.x = kScreenWidth - Width(actor.src);
  if (actor.y < 0)
    actor.y = 0;
  if (actor.y + Height(actor.src) > kScreenHeight)
    actor.y = kScreenHeight - Height(actor.src);
}

// Whole cells, transparent margins included; cells that only meet at an edge touch.
bool ActorsTouch(const Actor& a, const Actor& b) {
  return a.x <= b.x + Width(b.src) && a.y <= b.y + Height(b.src) && a.x + Width(a.src) >= b.x &&
         a.y + Height(a.src) >= b.y;
}

HRESULT DrawActor(const Actor& actor) {
  RECT src = actor.src;
  return BlitSprite(Game.Display.BackBuffer, actor.x, actor.y, Game.Display.CharacterSurface, &src,
                    DDBLTFAST_SRCCOLORKEY);
}
}  // namespace

void ResetActors() {
  Game.Player.x = 100;
  Game.Player.y = 100;
  SetRect(&Game.Player.src, 144, 0, 192, 46);
  Game.Player.speed = 2;
  Game.Player.active = 1;

  Game.Obstacle.x = 400;
  Game.Obstacle.y = 300;
  SetRect(&Game.Obstacle.src, 58, 144, 116, 202);
  Game.Obstacle.speed = 1;
  Game.Obstacle.active = 1;
}

void RunPlayFrame(HWND) {
  RECT screen = {0, 0, kScreenWidth, kScreenHeight};
  if (BlitSprite(Game.Display.BackBuffer, 0, 0, Game.Display.BackImageSurface, &screen,
                 DDBLTFAST_NOCOLORKEY) != 0) {
    return;
  }

  Game.PlayControls = PollControls();
  MovePlayer();
  if (DrawActor(Game.Player) != 0)
    return;

  ClampObstacle();
  if (DrawActor(Game.Obstacle) != 0)
    return;

  if (ActorsTouch(Game.Player, Game.Obstacle))
    Game.GameState = STATE_MENU;
}

void MovePlayer() {
  Actor& player = Game.Player;
  if (Game.PlayControls & CTRL_LEFT)
    player.x -= player.speed;
  if (Game.PlayControls & CTRL_RIGHT)
    player.x += player.speed;
  if (Game.PlayControls & CTRL_UP)
    player.y -= player.speed;
  if (Game.PlayControls & CTRL_DOWN)
    player.y += player.speed;
  ClampToScreen(player);
}

void ClampObstacle() {
  ClampToScreen(Game.Obstacle);
}
