// Bringing lost surfaces back: the primary (with its back buffer), then each
// off-screen surface with its bitmap drawn anew. Palette and colour keys survive.
#include "shared/game_globals.h"
#include "display/bitmap_loading.h"
#include "display/display.h"

HRESULT RestoreSurfaces() {
  DisplayObjects& display = Game.Display;
  HRESULT result = display.PrimarySurface->Restore();
  if (result != DD_OK)
    return result;

  struct OffscreenSurface {
    LPDIRECTDRAWSURFACE7 surface;
    LPCSTR bitmap_name;
  };
  const OffscreenSurface offscreen[] = {
      {display.BackImageSurface, "BACKIMAGE"},
      {display.StringsSurface, "STRINGS"},
      {display.MenuSurface, "MENU"},
      {display.CharacterSurface, "CHARACTER"},
  };
  // Every surface is tried; only the last one's restore shows in the result.
  for (const OffscreenSurface& entry : offscreen) {
    result = entry.surface->Restore();
    if (result == DD_OK)
      ReloadBitmapSurface(entry.surface, entry.bitmap_name);
  }
  return result;
}
