#include "ddraw/pixel_copy.h"

#include <cstring>

namespace orv::platform {
namespace {

// Whether `value` lies in [low, high], in one comparison.
inline bool InRange(DWORD value, DWORD low, DWORD span) {
  return value - low <= span;
}

template <typename Pixel>
inline Pixel Load(const std::uint8_t* at) {
  Pixel value;
  std::memcpy(&value, at, sizeof(Pixel));
  return value;
}

template <typename Pixel>
void CopyKeyedRows(PixelBlock dest, ConstPixelBlock source, int width, int height, CopyKey key,
                   KeyRange range) {
  const DWORD low = range.low;
  const DWORD span = range.high - range.low;
  const bool source_key = key == CopyKey::kSource;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* to = dest.bits + y * dest.pitch;
    const std::uint8_t* from = source.bits + y * source.pitch;
    for (int x = 0; x < width; ++x, to += sizeof(Pixel), from += sizeof(Pixel)) {
      const Pixel pixel = Load<Pixel>(from);
      const bool write =
          source_key ? !InRange(pixel, low, span) : InRange(Load<Pixel>(to), low, span);
      if (write)
        std::memcpy(to, &pixel, sizeof(Pixel));
    }
  }
}

}  // namespace

void CopyPixels(PixelBlock dest, ConstPixelBlock source, int width, int height, int bytes_per_pixel,
                CopyKey key, KeyRange range) {
  if (width <= 0 || height <= 0)
    return;
  if (key != CopyKey::kNone && range.high < range.low) {
    // An inverted range holds no value: nothing is keyed out, nothing is keyed in.
    if (key == CopyKey::kDestination)
      return;
    key = CopyKey::kNone;
  }
  if (key == CopyKey::kNone) {
    const std::size_t row_bytes = static_cast<std::size_t>(width) * bytes_per_pixel;
    for (int y = 0; y < height; ++y) {
      std::memcpy(dest.bits + y * dest.pitch, source.bits + y * source.pitch, row_bytes);
    }
  } else if (bytes_per_pixel == 1) {
    CopyKeyedRows<std::uint8_t>(dest, source, width, height, key, range);
  } else {
    CopyKeyedRows<std::uint32_t>(dest, source, width, height, key, range);
  }
}

}  // namespace orv::platform
