// Device-independent bitmaps: reading the packed and file forms, and scaling.
// Parsing never reads outside the bytes it is given; anything it does not support
// is refused rather than guessed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "win/base.h"

namespace orv::platform {

// Limits on what a bitmap may claim, so that a broken header cannot ask for
// gigabytes: pixels per side, and bytes of pixel data.
constexpr int kMaxDibSide = 16384;
constexpr std::uint64_t kMaxDibBytes = std::uint64_t{64} << 20;

// A DIB as GDI holds it: rows stored as in the source (bottom-up unless top_down),
// each padded to a multiple of four bytes.
struct Dib {
  int width = 0;
  int height = 0;  // always positive
  bool top_down = false;
  int bits_per_pixel = 0;  // 1, 4, 8, 24 or 32
  int stride = 0;
  std::vector<RGBQUAD> colors;     // the colour table of 1-, 4- and 8-bit bitmaps
  std::vector<std::uint8_t> bits;  // stride * height bytes
};

// Bytes per row of a DIB: padded to 32 bits.
std::uint64_t DibStride(std::int64_t width, int bits_per_pixel);

// A packed DIB: an info header of at least 40 bytes (longer V4/V5 headers are
// skipped whole), the colour table, the pixels. The pixels start `pixel_offset`
// bytes into `data`, or right after the colour table when it is not given.
// Uncompressed 1-, 4-, 8-, 24- and 32-bit only.
std::optional<Dib> ParsePackedDib(std::span<const std::uint8_t> data,
                                  std::optional<std::uint64_t> pixel_offset = std::nullopt);

// A .bmp file: the 14-byte file header ("BM", bfOffBits locating the pixels when
// it is not 0) followed by a packed DIB.
std::optional<Dib> ParseBitmapFile(std::span<const std::uint8_t> file);

// A nearest-neighbour copy at width x height, in the same format and orientation;
// nothing when the size is outside the limits.
std::optional<Dib> ScaleDib(const Dib& source, int width, int height);

}  // namespace orv::platform
