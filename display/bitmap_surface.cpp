// Bitmaps into off-screen surfaces: a new surface of the bitmap's size, or the bitmap
// copied again into a surface that was restored. Each name is tried as a resource of
// the program first and then as a file path.
#include "display/bitmap_loading.h"

namespace {
HBITMAP LoadBitmapByName(LPCSTR name, int width, int height) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(NULL), name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
  if (bitmap == NULL)
    bitmap = static_cast<HBITMAP>(
        LoadImageA(NULL, name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
  return bitmap;
}
}  // namespace

LPDIRECTDRAWSURFACE7 DDLoadBitmap(LPDIRECTDRAW7 direct_draw, LPCSTR name, int width, int height) {
  HBITMAP bitmap = LoadBitmapByName(name, width, height);
  if (bitmap == NULL)
    return NULL;

  BITMAP bitmap_info = {};
  GetObjectA(bitmap, sizeof(bitmap_info), &bitmap_info);

  // No pixel format: the surface takes the display's.
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = static_cast<DWORD>(bitmap_info.bmWidth);
  desc.dwHeight = static_cast<DWORD>(bitmap_info.bmHeight);
  LPDIRECTDRAWSURFACE7 surface = NULL;
  if (direct_draw->CreateSurface(&desc, &surface, NULL) != DD_OK) {
    DeleteObject(bitmap);
    return NULL;
  }

  // A surface whose copy failed would stay blank: it counts as not made.
  const HRESULT copied = BlitBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
  DeleteObject(bitmap);
  if (copied != DD_OK) {
    surface->Release();
    return NULL;
  }
  return surface;
}

HRESULT ReloadBitmapSurface(LPDIRECTDRAWSURFACE7 surface, LPCSTR name) {
  HBITMAP bitmap = LoadBitmapByName(name, 0, 0);
  if (bitmap == NULL) {
    OutputDebugStringA("handle is null\n");
    return E_FAIL;
  }
  HRESULT result = BlitBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
  if (result != DD_OK)
    OutputDebugStringA("ddcopybitmap failed\n");
  DeleteObject(bitmap);
  return result;
}

HRESULT BlitBitmapToSurface(LPDIRECTDRAWSURFACE7 surface, HBITMAP bitmap, int x, int y, int width,
                            int height) {
  if (bitmap == NULL || surface == NULL)
    return E_FAIL;

  surface->Restore();

  // Every step that fails leaves the surface without its picture, and says so.
  HDC memory_dc = CreateCompatibleDC(NULL);
  if (memory_dc == NULL) {
    OutputDebugStringA("createcompatible dc failed\n");
    return E_FAIL;
  }
  if (SelectObject(memory_dc, bitmap) == NULL) {
    DeleteDC(memory_dc);
    return E_FAIL;
  }

  BITMAP bitmap_info = {};
  GetObjectA(bitmap, sizeof(bitmap_info), &bitmap_info);
  if (width == 0)
    width = bitmap_info.bmWidth;
  if (height == 0)
    height = bitmap_info.bmHeight;

  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
  HRESULT result = surface->GetSurfaceDesc(&desc);

  HDC surface_dc = NULL;
  if (result == DD_OK)
    result = surface->GetDC(&surface_dc);
  if (result == DD_OK) {
    // The copy maps each bitmap colour to the closest colour of the surface's palette.
    if (!StretchBlt(surface_dc, 0, 0, static_cast<int>(desc.dwWidth),
                    static_cast<int>(desc.dwHeight), memory_dc, x, y, width, height, SRCCOPY))
      result = E_FAIL;
    surface->ReleaseDC(surface_dc);
  }
  DeleteDC(memory_dc);
  return result;
}
