// Pixel values of colours on a surface, and the source colour key made from one.
#include "display/bitmap_loading.h"

namespace {
// The value of the pixel at `pixel`, which is `bits_per_pixel` wide, little-endian.
// Only that pixel's own bytes are read.
DWORD ReadPixelValue(const BYTE* pixel, DWORD bits_per_pixel) {
  DWORD byte_count = (bits_per_pixel + 7) / 8;
  if (byte_count > 4)
    byte_count = 4;
  DWORD value = 0;
  for (DWORD i = 0; i < byte_count; ++i)
    value |= static_cast<DWORD>(pixel[i]) << (8 * i);
  if (bits_per_pixel < 32)
    value &= (static_cast<DWORD>(1) << bits_per_pixel) - 1;
  return value;
}
}  // namespace

DWORD ProbeSurfaceColor(LPDIRECTDRAWSURFACE7 surface, COLORREF color) {
  DWORD pixel_value = CLR_INVALID;
  COLORREF saved_color = 0;
  HDC dc = NULL;

  // Draw the colour at (0, 0) through GDI so that the surface holds its pixel value.
  if (color != CLR_INVALID && surface->GetDC(&dc) == DD_OK) {
    saved_color = GetPixel(dc, 0, 0);
    SetPixel(dc, 0, 0, color);
    surface->ReleaseDC(dc);
  }

  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  HRESULT result;
  while ((result = surface->Lock(NULL, &desc, 0, NULL)) == DDERR_WASSTILLDRAWING) {
  }
  if (result == DD_OK) {
    pixel_value = ReadPixelValue(static_cast<const BYTE*>(desc.lpSurface),
                                 desc.ddpfPixelFormat.dwRGBBitCount);
    surface->Unlock(NULL);
  }

  if (color != CLR_INVALID && surface->GetDC(&dc) == DD_OK) {
    SetPixel(dc, 0, 0, saved_color);
    surface->ReleaseDC(dc);
  }
  return pixel_value;
}

HRESULT ApplyColorKey(LPDIRECTDRAWSURFACE7 surface, COLORREF color) {
  DDCOLORKEY key;
  key.dwColorSpaceLowValue = ProbeSurfaceColor(surface, color);
  key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
  return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}
