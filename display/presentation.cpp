// The two drawing operations of the game: a blit onto the back buffer and the flip.
// A busy device is retried at once for a short while; a lost surface is restored on the
// spot.
#include "display/busy_retry.h"
#include "display/display.h"
#include "shared/game_globals.h"

HRESULT BlitSprite(LPDIRECTDRAWSURFACE7 dest, DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source,
                   RECT* source_rect, DWORD flags) {
  // A sheet whose bitmap could not be copied back after a loss is drawn from only once it
  // holds its picture again.
  if (HRESULT reload = ReloadPendingSheet(source); reload != DD_OK)
    return reload;
  HRESULT result = RetryWhileBusy([&] { return dest->BltFast(x, y, source, source_rect, flags); });
  // After a recovery the copy is not repeated: the next frame draws this sprite.
  if (result == DDERR_SURFACELOST)
    return RestoreSurfaces();
  return result;
}

void FlipDisplay() {
  LPDIRECTDRAWSURFACE7 primary = Game.Display.PrimarySurface;
  const HRESULT result = RetryWhileBusy([primary] { return primary->Flip(NULL, 0); });
  // The off-screen surfaces are left for the next blit to find lost.
  if (result == DDERR_SURFACELOST)
    primary->Restore();
}
