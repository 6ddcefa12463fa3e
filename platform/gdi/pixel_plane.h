// Uniform access to the pixels that GDI reads and writes: DIB sections and the
// surfaces that DirectDraw lends through a device context. Colours here are
// 0x00RRGGBB; COLORREF (0x00BBGGRR) is converted at the API boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "core/device_context.h"
#include "gdi/dib.h"

namespace orv::platform {

struct PixelPlane {
  std::uint8_t* top_row = nullptr;
  std::ptrdiff_t pitch = 0;  // from one row to the one below it; negative for bottom-up DIBs
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  std::vector<std::uint32_t> colors;  // 0x00RRGGBB, for 1-, 4- and 8-bit planes

  bool indexed() const { return bits_per_pixel <= 8; }
  std::uint8_t* Row(int y) const { return top_row + y * pitch; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// The pixels of a DIB (also used read-only for a const one).
PixelPlane PlaneOf(const Dib& dib);
// The pixels of a surface; an 8-bit view without a palette has no colours.
PixelPlane PlaneOf(const PixelView& view);

inline std::uint32_t RgbOf(const RGBQUAD& quad) {
  return std::uint32_t{quad.rgbRed} << 16 | std::uint32_t{quad.rgbGreen} << 8 | quad.rgbBlue;
}
inline std::uint32_t RgbOf(const PALETTEENTRY& entry) {
  return std::uint32_t{entry.peRed} << 16 | std::uint32_t{entry.peGreen} << 8 | entry.peBlue;
}
inline std::uint32_t RgbFromColorRef(COLORREF color) {
  return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}
inline COLORREF ColorRefFromRgb(std::uint32_t rgb) {
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

// The raw value at x of a row: an index for 1-, 4- and 8-bit pixels, 0x00RRGGBB
// (plus the unused top byte of 32-bit pixels) for the others.
template <int kBitsPerPixel>
inline std::uint32_t ReadValueAt(const std::uint8_t* row, int x) {
  if constexpr (kBitsPerPixel == 1) {
    return row[x >> 3] >> (7 - (x & 7)) & 1;
  } else if constexpr (kBitsPerPixel == 4) {
    return (x & 1) != 0 ? row[x >> 1] & 0xF : row[x >> 1] >> 4;
  } else if constexpr (kBitsPerPixel == 8) {
    return row[x];
  } else if constexpr (kBitsPerPixel == 24) {
    const std::uint8_t* p = row + 3 * x;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
  } else {
    std::uint32_t value;
    std::memcpy(&value, row + 4 * x, 4);
    return value;
  }
}

template <int kBitsPerPixel>
inline void WriteValueAt(std::uint8_t* row, int x, std::uint32_t value) {
  if constexpr (kBitsPerPixel == 1) {
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~mask) | ((value & 1) != 0 ? mask : 0));
  } else if constexpr (kBitsPerPixel == 4) {
    std::uint8_t& byte = row[x >> 1];
    byte = (x & 1) != 0 ? static_cast<std::uint8_t>((byte & 0xF0) | (value & 0xF))
                        : static_cast<std::uint8_t>((byte & 0x0F) | (value & 0xF) << 4);
  } else if constexpr (kBitsPerPixel == 8) {
    row[x] = static_cast<std::uint8_t>(value);
  } else if constexpr (kBitsPerPixel == 24) {
    std::uint8_t* p = row + 3 * x;
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
  } else {
    std::memcpy(row + 4 * x, &value, 4);
  }
}

std::uint32_t ReadPixelValue(const PixelPlane& plane, int x, int y);
void WritePixelValue(const PixelPlane& plane, int x, int y, std::uint32_t value);

// The colour (0x00RRGGBB) a raw value stands for; indices past the colour table are black.
std::uint32_t ColorOfValue(const PixelPlane& plane, std::uint32_t value);
// The raw value that shows `rgb` best: the closest colour-table entry of an indexed
// plane, the colour itself otherwise.
std::uint32_t ValueForColor(const PixelPlane& plane, std::uint32_t rgb);

// The index of the table entry closest to `rgb`; see the definition for the rule.
// The table must not be empty.
int ClosestColorIndex(std::span<const std::uint32_t> colors, std::uint32_t rgb);

// Nearest-neighbour sampling: the source index (0..source_count-1) whose centre is
// nearest the centre of destination index `i` of `dest_count`.
inline int NearestSample(std::int64_t i, std::int64_t dest_count, std::int64_t source_count) {
  return static_cast<int>((2 * i + 1) * source_count / (2 * dest_count));
}

}  // namespace orv::platform
