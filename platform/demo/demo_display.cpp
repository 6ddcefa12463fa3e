#include "demo_display.h"

#include <cstring>

#include "demo_art.h"

namespace {

LPDIRECTDRAW7 direct_draw = nullptr;
LPDIRECTDRAWSURFACE7 primary = nullptr;
LPDIRECTDRAWSURFACE7 back_buffer = nullptr;  // ends with the primary's chain
LPDIRECTDRAWPALETTE palette = nullptr;
LPDIRECTDRAWSURFACE7 pattern = nullptr;
LPDIRECTDRAWSURFACE7 sprite = nullptr;

template <typename T>
void ReleaseObject(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

BOOL Fail(HWND window, const char* text) {
  CloseDemoDisplay();
  MessageBoxA(window, text, "FullScreen Orvendal", MB_OK);
  return FALSE;
}

LPDIRECTDRAWSURFACE7 CreateOffscreen(int width, int height) {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = width;
  desc.dwHeight = height;
  LPDIRECTDRAWSURFACE7 surface = nullptr;
  if (direct_draw->CreateSurface(&desc, &surface, nullptr) != DD_OK)
    return nullptr;
  return surface;
}

// Locks the whole surface and lets `draw` fill it.
BOOL DrawWithLock(LPDIRECTDRAWSURFACE7 surface, void (*draw)(BYTE*, LONG)) {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK)
    return FALSE;
  draw(static_cast<BYTE*>(desc.lpSurface), desc.lPitch);
  surface->Unlock(nullptr);
  return TRUE;
}

BOOL DrawOffscreenSurfaces() {
  return DrawWithLock(pattern, DrawPattern) && DrawWithLock(sprite, DrawSprite);
}

// After a switch away from the exclusive display: memory back, pictures drawn anew.
void RestoreSurfaces() {
  if (primary->Restore() != DD_OK)
    return;
  if (pattern->Restore() == DD_OK && sprite->Restore() == DD_OK)
    DrawOffscreenSurfaces();
}

// A position that runs from 0 to `limit` and back at `speed` pixels per second.
DWORD Bounce(DWORD elapsed_ms, DWORD speed, DWORD limit) {
  const DWORD travelled = elapsed_ms * speed / 1000 % (2 * limit);
  return travelled <= limit ? travelled : 2 * limit - travelled;
}

HRESULT BltFastRetrying(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, RECT* rect, DWORD flags) {
  HRESULT result;
  do {
    result = back_buffer->BltFast(x, y, source, rect, flags);
  } while (result == DDERR_WASSTILLDRAWING);
  return result;
}

}  // namespace

BOOL OpenDemoDisplay(HWND window) {
  if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&direct_draw), IID_IDirectDraw7,
                         nullptr) != DD_OK) {
    direct_draw = nullptr;
    return Fail(window, "DirectDrawCreateEx FAILED");
  }
  if (direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) {
    return Fail(window, "SetCooperativeLevel FAILED");
  }
  if (direct_draw->SetDisplayMode(640, 480, 8, 0, 0) != DD_OK) {
    return Fail(window, "SetDisplayMode FAILED");
  }

  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  if (direct_draw->CreateSurface(&desc, &primary, nullptr) != DD_OK) {
    primary = nullptr;
    return Fail(window, "CreateSurface FAILED");
  }
  DDSCAPS2 caps;
  std::memset(&caps, 0, sizeof(caps));
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  if (primary->GetAttachedSurface(&caps, &back_buffer) != DD_OK) {
    back_buffer = nullptr;
    return Fail(window, "GetAttachedSurface FAILED");
  }

  PALETTEENTRY entries[256];
  MakeDemoPalette(entries);
  if (direct_draw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr) !=
      DD_OK) {
    palette = nullptr;
    return Fail(window, "CreatePalette FAILED");
  }
  if (primary->SetPalette(palette) != DD_OK)
    return Fail(window, "SetPalette FAILED");

  pattern = CreateOffscreen(kPatternWidth, kPatternHeight);
  sprite = CreateOffscreen(kSpriteSize, kSpriteSize);
  if (pattern == nullptr || sprite == nullptr)
    return Fail(window, "CreateSurface FAILED");
  if (!DrawOffscreenSurfaces())
    return Fail(window, "Lock FAILED");
  DDCOLORKEY key = {kSpriteKey, kSpriteKey};
  if (sprite->SetColorKey(DDCKEY_SRCBLT, &key) != DD_OK)
    return Fail(window, "SetColorKey FAILED");
  return TRUE;
}

void CloseDemoDisplay() {
  back_buffer = nullptr;
  ReleaseObject(sprite);
  ReleaseObject(pattern);
  ReleaseObject(primary);
  ReleaseObject(palette);
  ReleaseObject(direct_draw);
}

void DrawDemoFrame(DWORD elapsed_ms) {
  if (primary == nullptr)
    return;
  // The pattern drifts down and to the right, one period every 2.5 seconds.
  const LONG scroll = static_cast<LONG>(elapsed_ms / 40 % kPatternPeriod);
  RECT view = {kPatternPeriod - scroll, kPatternPeriod - scroll, kPatternPeriod - scroll + 640,
               kPatternPeriod - scroll + 480};
  RECT ball = {0, 0, kSpriteSize, kSpriteSize};
  HRESULT result = BltFastRetrying(0, 0, pattern, &view, DDBLTFAST_NOCOLORKEY);
  if (result == DD_OK) {
    result = BltFastRetrying(Bounce(elapsed_ms, 230, 640 - kSpriteSize),
                             Bounce(elapsed_ms, 170, 480 - kSpriteSize), sprite, &ball,
                             DDBLTFAST_SRCCOLORKEY);
  }
  if (result == DDERR_SURFACELOST) {
    RestoreSurfaces();
    return;
  }
  do {
    result = primary->Flip(nullptr, 0);
  } while (result == DDERR_WASSTILLDRAWING);
  if (result == DDERR_SURFACELOST)
    primary->Restore();
}
