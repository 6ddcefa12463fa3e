// Pixel values of colours on a surface, and the source colour key made from one.
#include "display/bitmap_loading.h"
#include "display/busy_retry.h"

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

// The value pixel (0, 0) holds once `color` was drawn there (for CLR_INVALID, the value
// it holds already); false when the surface could not be read.
bool ReadTopLeftValue(LPDIRECTDRAWSURFACE7 surface, COLORREF color, DWORD& pixel_value) {
  bool read = false;
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
  if (RetryWhileBusy([&] { return surface->Lock(NULL, &desc, 0, NULL); }) == DD_OK) {
    pixel_value = ReadPixelValue(static_cast<const BYTE*>(desc.lpSurface),
                                 desc.ddpfPixelFormat.dwRGBBitCount);
    read = true;
    surface->Unlock(NULL);
  }

  if (color != CLR_INVALID && surface->GetDC(&dc) == DD_OK) {
    SetPixel(dc, 0, 0, saved_color);
    surface->ReleaseDC(dc);
  }
  return read;
}
}  // namespace

DWORD ProbeSurfaceColor(LPDIRECTDRAWSURFACE7 surface, COLORREF color) {
  DWORD pixel_value = CLR_INVALID;
  return ReadTopLeftValue(surface, color, pixel_value) ? pixel_value : CLR_INVALID;
}

// A surface that could not be read gets no key: CLR_INVALID as a key would match no pixel
// and every keyed blit would paint its whole cell.
HRESULT ApplyColorKey(LPDIRECTDRAWSURFACE7 surface, COLORREF color) {
  DDCOLORKEY key;
  if (!ReadTopLeftValue(surface, color, key.dwColorSpaceLowValue))
    return E_FAIL;
  key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
  return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}
