// The two drawing operations of the game: a blit onto the back buffer and the flip.
// A busy device is retried at once; a lost surface is restored on the spot.
#include "shared/game_globals.h"
#include "display/display.h"

HRESULT BlitSprite(LPDIRECTDRAWSURFACE7 dest, DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source,
                   RECT* source_rect, DWORD flags) {
  for (;;) {
    HRESULT result = dest->BltFast(x, y, source, source_rect, flags);
    if (result == DDERR_WASSTILLDRAWING)
      continue;
    // After a recovery the copy is not repeated: the next frame draws this sprite.
    if (result == DDERR_SURFACELOST)
      return RestoreSurfaces();
    return result;
  }
}

void FlipDisplay() {
  for (;;) {
    HRESULT result = Game.Display.PrimarySurface->Flip(NULL, 0);
    if (result == DDERR_WASSTILLDRAWING)
      continue;
    // The off-screen surfaces are left for the next blit to find lost.
    if (result == DDERR_SURFACELOST)
      Game.Display.PrimarySurface->Restore();
    return;
  }
}
