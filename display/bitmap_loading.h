// Bitmaps and palettes, found by name as a resource of the program or as a file.
#pragma once

#include "platform.h"

LPDIRECTDRAWSURFACE7 DDLoadBitmap(LPDIRECTDRAW7 direct_draw, LPCSTR name, int width, int height);
HRESULT ReloadBitmapSurface(LPDIRECTDRAWSURFACE7 surface, LPCSTR name);
HRESULT BlitBitmapToSurface(LPDIRECTDRAWSURFACE7 surface, HBITMAP bitmap, int x, int y, int width,
                            int height);
LPDIRECTDRAWPALETTE DDLoadPalette(LPDIRECTDRAW7 direct_draw, LPCSTR name);
DWORD ProbeSurfaceColor(LPDIRECTDRAWSURFACE7 surface, COLORREF color);
HRESULT ApplyColorKey(LPDIRECTDRAWSURFACE7 surface, COLORREF color);
