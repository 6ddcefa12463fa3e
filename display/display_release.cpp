// Giving the display objects back, in a fixed order; harmless when already done.
#include "shared/game_globals.h"
#include "display/display.h"

namespace {
template <typename Interface>
void ReleaseHandle(Interface*& handle) {
  if (handle != NULL) {
    handle->Release();
    handle = NULL;
  }
}
}  // namespace

void ReleaseDisplay() {
  DisplayObjects& display = Game.Display;
  if (display.DirectDrawObject == NULL)
    return;
  // The back buffer belongs to the primary's chain and goes with it.
  ReleaseHandle(display.PrimarySurface);
  display.BackBuffer = NULL;
  ReleaseHandle(display.BackImageSurface);
  ReleaseHandle(display.StringsSurface);
  ReleaseHandle(display.MenuSurface);
  ReleaseHandle(display.CharacterSurface);
  ReleaseHandle(display.DisplayPalette);
  // Releasing the DirectDraw object also gives back exclusive mode and the desktop's mode.
  ReleaseHandle(display.DirectDrawObject);
  Game.SheetsToReload = 0;
}
