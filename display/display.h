// The display: exclusive 640x480x8 mode, the flipping pair, the palette, the
// off-screen surfaces of the four bitmaps, blit, flip and recovery of lost surfaces.
#pragma once

#include "platform.h"

HRESULT SetupDisplay(HWND window);
void ReleaseDisplay();
HRESULT RestoreSurfaces();
// Copies a sheet's bitmap into it again if the last attempt after a loss failed;
// DD_OK when there was nothing to do or the copy worked.
HRESULT ReloadPendingSheet(LPDIRECTDRAWSURFACE7 surface);
void FlipDisplay();
// Copies `source_rect` of `source` one-to-one onto `dest` at (x, y); flags is
// DDBLTFAST_NOCOLORKEY or DDBLTFAST_SRCCOLORKEY. Returns 0 on success.
HRESULT BlitSprite(LPDIRECTDRAWSURFACE7 dest, DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source,
                   RECT* source_rect, DWORD flags);
