// Device contexts shared by GDI and DirectDraw: a surface's GetDC hands out a
// context that GDI's StretchBlt, GetPixel and SetPixel draw onto.
#pragma once

#include <cstdint>

#include "win/base.h"

namespace orv::platform {

// Pixels a device context draws onto, rows top-down.
struct PixelView {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int bits_per_pixel = 0;  // 8 or 32 for surfaces
  // For 8 bits per pixel: the 256 colours of the palette in force.
  const PALETTEENTRY* palette = nullptr;
};

// A context drawing onto a DirectDraw surface; freed again by DestroySurfaceDC.
HDC CreateSurfaceDC(const PixelView& view);
void DestroySurfaceDC(HDC dc);

}  // namespace orv::platform
