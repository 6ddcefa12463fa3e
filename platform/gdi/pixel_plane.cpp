#include "gdi/pixel_plane.h"

namespace orv::platform {

PixelPlane PlaneOf(const Dib& dib) {
  PixelPlane plane;
  // GDI writes into the DIB's own storage; constness only guards the handle table.
  auto* bits = const_cast<std::uint8_t*>(dib.bits.data());
  plane.pitch = dib.top_down ? dib.stride : -static_cast<std::ptrdiff_t>(dib.stride);
  plane.top_row =
      dib.top_down ? bits : bits + static_cast<std::ptrdiff_t>(dib.height - 1) * dib.stride;
  plane.width = dib.width;
  plane.height = dib.height;
  plane.bits_per_pixel = dib.bits_per_pixel;
  plane.colors.reserve(dib.colors.size());
  for (const RGBQUAD& quad : dib.colors)
    plane.colors.push_back(RgbOf(quad));
  return plane;
}

PixelPlane PlaneOf(const PixelView& view) {
  PixelPlane plane;
  plane.top_row = view.bits;
  plane.pitch = view.pitch;
  plane.width = view.width;
  plane.height = view.height;
  plane.bits_per_pixel = view.bits_per_pixel;
  if (view.bits_per_pixel == 8 && view.palette != nullptr) {
    plane.colors.reserve(256);
    for (int i = 0; i < 256; ++i)
      plane.colors.push_back(RgbOf(view.palette[i]));
  }
  return plane;
}

std::uint32_t ReadPixelValue(const PixelPlane& plane, int x, int y) {
  const std::uint8_t* row = plane.Row(y);
  switch (plane.bits_per_pixel) {
    case 1:
      return ReadValueAt<1>(row, x);
    case 4:
      return ReadValueAt<4>(row, x);
    case 8:
      return ReadValueAt<8>(row, x);
    case 24:
      return ReadValueAt<24>(row, x);
    default:
      return ReadValueAt<32>(row, x);
  }
}

void WritePixelValue(const PixelPlane& plane, int x, int y, std::uint32_t value) {
  std::uint8_t* row = plane.Row(y);
  switch (plane.bits_per_pixel) {
    case 1:
      return WriteValueAt<1>(row, x, value);
    case 4:
      return WriteValueAt<4>(row, x, value);
    case 8:
      return WriteValueAt<8>(row, x, value);
    case 24:
      return WriteValueAt<24>(row, x, value);
    default:
      return WriteValueAt<32>(row, x, value);
  }
}

std::uint32_t ColorOfValue(const PixelPlane& plane, std::uint32_t value) {
  if (!plane.indexed())
    return value & 0xFFFFFF;
  return value < plane.colors.size() ? plane.colors[value] : 0;
}

std::uint32_t ValueForColor(const PixelPlane& plane, std::uint32_t rgb) {
  if (!plane.indexed())
    return rgb & 0xFFFFFF;
  return static_cast<std::uint32_t>(ClosestColorIndex(plane.colors, rgb));
}

// Colour matching rule: the entry at the smallest squared Euclidean distance in RGB,
// (dr^2 + dg^2 + db^2); among entries at the same distance, the lowest index wins.
// A colour present in the table thus maps to its own (first) entry.
int ClosestColorIndex(std::span<const std::uint32_t> colors, std::uint32_t rgb) {
  const int red = static_cast<int>(rgb >> 16 & 0xFF);
  const int green = static_cast<int>(rgb >> 8 & 0xFF);
  const int blue = static_cast<int>(rgb & 0xFF);
  int best = 0;
  int best_distance = 3 * 255 * 255 + 1;
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const int dr = static_cast<int>(colors[i] >> 16 & 0xFF) - red;
    const int dg = static_cast<int>(colors[i] >> 8 & 0xFF) - green;
    const int db = static_cast<int>(colors[i] & 0xFF) - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = static_cast<int>(i);
      if (distance == 0)
        break;
    }
  }
  return best;
}

}  // namespace orv::platform
