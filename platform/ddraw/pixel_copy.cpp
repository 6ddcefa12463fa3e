#include "ddraw/pixel_copy.h"

#include <algorithm>
#include <cstring>

namespace orv::platform {
namespace {

constexpr int kChunk = 16;

// 8-bit pixels: a select rather than a branch, so that the rows vectorise.
void CopyKeyedBytes(PixelBlock dest, ConstPixelBlock source, int width, int height, CopyKey key,
                    KeyRange range) {
  if (range.low > 0xFF) {
    // No byte lies in the key: a source key skips nothing, a destination key admits nothing.
    if (key == CopyKey::kDestination)
      return;
    CopyPixels(dest, source, width, height, 1, CopyKey::kNone, {});
    return;
  }
  const auto low = static_cast<std::uint8_t>(range.low);
  const auto span = static_cast<std::uint8_t>(std::min<DWORD>(range.high, 0xFF) - range.low);
  const bool source_key = key == CopyKey::kSource;
  // Whether the pixel written is the source's: outside a source key, inside a destination key.
  auto select = [&](std::uint8_t pixel, std::uint8_t under) -> std::uint8_t {
    const bool in_key = static_cast<std::uint8_t>((source_key ? pixel : under) - low) <= span;
    return in_key == source_key ? under : pixel;
  };
  for (int y = 0; y < height; ++y) {
    std::uint8_t* to = dest.bits + y * dest.pitch;
    const std::uint8_t* from = source.bits + y * source.pitch;
    int x = 0;
    // Whole chunks through local copies, which the compiler can vectorise freely.
    for (; x + kChunk <= width; x += kChunk) {
      std::uint8_t pixels[kChunk];
      std::uint8_t unders[kChunk];
      std::memcpy(pixels, from + x, kChunk);
      std::memcpy(unders, to + x, kChunk);
      for (int i = 0; i < kChunk; ++i)
        unders[i] = select(pixels[i], unders[i]);
      std::memcpy(to + x, unders, kChunk);
    }
    for (; x < width; ++x)
      to[x] = select(from[x], to[x]);
  }
}

void CopyKeyedWords(PixelBlock dest, ConstPixelBlock source, int width, int height, CopyKey key,
                    KeyRange range) {
  const DWORD low = range.low;
  const DWORD span = range.high - range.low;
  const bool source_key = key == CopyKey::kSource;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* to = dest.bits + y * dest.pitch;
    const std::uint8_t* from = source.bits + y * source.pitch;
    for (int x = 0; x < width; ++x, to += 4, from += 4) {
      std::uint32_t pixel;
      std::uint32_t under;
      std::memcpy(&pixel, from, 4);
      std::memcpy(&under, to, 4);
      const bool write = source_key ? pixel - low > span : under - low <= span;
      if (write)
        std::memcpy(to, &pixel, 4);
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
    CopyKeyedBytes(dest, source, width, height, key, range);
  } else {
    CopyKeyedWords(dest, source, width, height, key, range);
  }
}

}  // namespace orv::platform
