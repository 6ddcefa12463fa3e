// Taking the display: exclusive mode, the flipping pair, the palette and the four
// off-screen surfaces, one step after another.
#include "shared/game_globals.h"
#include "display/init_error.h"
#include "display/bitmap_loading.h"
#include "display/display.h"

namespace {
// Loads one of the sheets that carry a colour key: its surface, its line, then the key
// taken from its top-left pixel. A sheet without its key would draw every cell as a box,
// so a key that cannot be taken fails the step too.
HRESULT LoadKeyedSheet(HWND window, LPDIRECTDRAWSURFACE7& surface, LPCSTR name, LPCSTR line,
                       LPCSTR failure) {
  surface = DDLoadBitmap(Game.Display.DirectDrawObject, name, 0, 0);
  if (surface == NULL)
    return ShowInitError(window, E_FAIL, failure);
  OutputDebugStringA(line);
  const HRESULT keyed = ApplyColorKey(surface, CLR_INVALID);
  if (keyed != DD_OK)
    return ShowInitError(window, keyed, failure);
  return DD_OK;
}
}  // namespace

HRESULT SetupDisplay(HWND window) {
  DisplayObjects& display = Game.Display;

  HRESULT result = DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&display.DirectDrawObject),
                                      IID_IDirectDraw7, NULL);
  if (result != DD_OK)
    return ShowInitError(window, result, "DirectDrawCreateEx FAILED");
  OutputDebugStringA("DirectDrawCreateEx OK\n");

  result = display.DirectDrawObject->SetCooperativeLevel(
      window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
  if (result != DD_OK)
    return ShowInitError(window, result, "SetCooperativeLevel FAILED");
  OutputDebugStringA("SetCooperativeLevel OK\n");

  result = display.DirectDrawObject->SetDisplayMode(640, 480, 8, 0, 0);
  if (result != DD_OK)
    return ShowInitError(window, result, "SetDisplayMode FAILED");
  OutputDebugStringA("SetDisplayMode OK\n");

  DDSURFACEDESC2 primary_desc = {};
  primary_desc.dwSize = sizeof(primary_desc);
  primary_desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  primary_desc.dwBackBufferCount = 1;
  primary_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  result = display.DirectDrawObject->CreateSurface(&primary_desc, &display.PrimarySurface, NULL);
  if (result != DD_OK)
    return ShowInitError(window, result, "CreateSurface FAILED");
  OutputDebugStringA("CreateSurface OK\n");

  DDSCAPS2 back_caps = {};
  back_caps.dwCaps = DDSCAPS_BACKBUFFER;
  result = display.PrimarySurface->GetAttachedSurface(&back_caps, &display.BackBuffer);
  if (result != DD_OK)
    return ShowInitError(window, result, "GetAttachedSurface FAILED");
  OutputDebugStringA("GetAttachedSurface OK\n");

  display.DisplayPalette = DDLoadPalette(display.DirectDrawObject, "BACKIMAGE");
  if (display.DisplayPalette == NULL)
    return ShowInitError(window, E_FAIL, "DDLoadPalette FAILED");
  OutputDebugStringA("DDLoadPalette OK\n");

  result = display.PrimarySurface->SetPalette(display.DisplayPalette);
  if (result != DD_OK)
    return ShowInitError(window, result, "SetPalette FAILED");
  OutputDebugStringA("SetPalette OK\n");

  display.BackImageSurface = DDLoadBitmap(display.DirectDrawObject, "BACKIMAGE", 0, 0);
  if (display.BackImageSurface == NULL)
    return ShowInitError(window, E_FAIL, "DDLoadBitmap BackImage FAILED");
  OutputDebugStringA("DDLoadBitmap BackImage OK\n");

  result = LoadKeyedSheet(window, display.StringsSurface, "STRINGS", "DDLoadBitmap Strings OK\n",
                          "DDLoadBitmap Strings FAILED");
  if (result != DD_OK)
    return result;
  result = LoadKeyedSheet(window, display.MenuSurface, "MENU", "DDLoadBitmap Menu OK\n",
                          "DDLoadBitmap Menu FAILED");
  if (result != DD_OK)
    return result;
  return LoadKeyedSheet(window, display.CharacterSurface, "CHARACTER",
                        "DDLoadBitmap Character OK\n", "DDLoadBitmap Character FAILED");
}
