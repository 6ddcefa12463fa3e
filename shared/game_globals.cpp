#include "shared/game_globals.h"

GameGlobals InitialGameGlobals() {
  GameGlobals globals{};
  // The frame-rate glyphs are always cut from the top 16 rows of the font.
  globals.FpsGlyphRect.top = 0;
  globals.FpsGlyphRect.bottom = 16;
  return globals;
}

GameGlobals Game = InitialGameGlobals();
