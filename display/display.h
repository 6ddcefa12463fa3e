// The display: exclusive 640x480x8 mode, the flipping pair, the palette, the
// off-screen surfaces of the four bitmaps, blit, flip and recovery of lost surfaces.
#pragma once

#include "platform.h"

HRESULT SetupDisplay(HWND window);
void ReleaseDisplay();
HRESULT RestoreSurfaces();
void FlipDisplay();
// Copies `source_rect` of `source` one-to-one onto `dest` at (x, y); flags is
// DDBLTFAST_NOCOLORKEY or DDBLTFAST_SRCCOLORKEY. Returns 0 on success.
HRESULT BlitSprite(LPDIRECTDRAWSURFACE7 dest, DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source,
                   RECT* source_rect, DWORD flags);
