// One frame: the scene of the current game state, the frame-rate text and the flip.
#include "app/frame_driver.h"

#include <cstring>

#include "shared/game_globals.h"
#include "shared/game_state.h"
#include "display/display.h"
#include "game/play_field.h"
#include "game/title_menu.h"

namespace {
constexpr DWORD kFpsInterval = 1000;  // milliseconds between refreshes of the text
constexpr LONG kGlyphWidth = 8;
constexpr int kFirstGlyphCode = 32;  // the font's first cell is the space

void DrawSceneOfState(HWND window) {
  switch (Game.GameState) {
    case STATE_MENU:
      RunTitleMenu(window);
      break;
    case STATE_START:
      ResetActors();
      Game.GameState = STATE_PLAY;
      RunPlayFrame(window);
      break;
    case STATE_PLAY:
      RunPlayFrame(window);
      break;
    default:
      break;
  }
}

void CountFrame() {
  Game.FrameCount += 1;
  if (Game.FrameTick - Game.LastFpsTick >= kFpsInterval) {
    Game.LastFpsTick = Game.FrameTick;
    wsprintfA(Game.FpsText, "%04d FPS", Game.FrameCount);
    Game.FrameCount = 0;
  }
}

// Draws the text glyph by glyph from the font's top band; false when a blit failed.
bool DrawFpsText() {
  const std::size_t length = std::strlen(Game.FpsText);
  for (std::size_t i = 0; i < length; ++i) {
    const int code = static_cast<unsigned char>(Game.FpsText[i]);
    Game.FpsGlyphRect.left = (code - kFirstGlyphCode) * kGlyphWidth;
    Game.FpsGlyphRect.right = Game.FpsGlyphRect.left + kGlyphWidth;
    HRESULT result =
        BlitSprite(Game.Display.BackBuffer, static_cast<DWORD>(kGlyphWidth * i), 0,
                   Game.Display.StringsSurface, &Game.FpsGlyphRect, DDBLTFAST_SRCCOLORKEY);
    if (result != 0)
      return false;
  }
  return true;
}
}  // namespace

void TickFrame(HWND window) {
  Game.FrameTick = GetTickCount();
  DrawSceneOfState(window);
  CountFrame();
  if (!DrawFpsText())
    return;
  FlipDisplay();
}
