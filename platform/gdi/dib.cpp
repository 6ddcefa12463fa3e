#include "gdi/dib.h"

#include <cstring>

#include "gdi/pixel_plane.h"
#include "win/gdi.h"

namespace orv::platform {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kMinInfoHeaderSize = 40;

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

bool SupportedDepth(int bits_per_pixel) {
  switch (bits_per_pixel) {
    case 1:
    case 4:
    case 8:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::uint64_t DibStride(std::int64_t width, int bits_per_pixel) {
  return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits_per_pixel) + 31) /
         32 * 4;
}

std::optional<Dib> ParsePackedDib(std::span<const std::uint8_t> data,
                                  std::optional<std::uint64_t> pixel_offset) {
  const std::uint64_t size = data.size();
  if (size < kMinInfoHeaderSize)
    return std::nullopt;
  const std::uint8_t* header = data.data();
  const std::uint32_t header_size = ReadU32(header);
  if (header_size < kMinInfoHeaderSize || header_size > size)
    return std::nullopt;

  const std::int64_t width = static_cast<std::int32_t>(ReadU32(header + 4));
  const std::int64_t signed_height = static_cast<std::int32_t>(ReadU32(header + 8));
  const std::uint16_t planes = ReadU16(header + 12);
  const int bits_per_pixel = ReadU16(header + 14);
  const std::uint32_t compression = ReadU32(header + 16);
  const std::uint32_t colors_used = ReadU32(header + 32);

  if (planes != 1 || compression != BI_RGB || !SupportedDepth(bits_per_pixel)) {
    return std::nullopt;
  }
  const std::int64_t height = signed_height < 0 ? -signed_height : signed_height;
  if (width <= 0 || width > kMaxDibSide || height == 0 || height > kMaxDibSide) {
    return std::nullopt;
  }

  // biClrUsed 0 means the full table of an indexed bitmap; 24- and 32-bit bitmaps
  // may carry an optional table, which only has to be skipped.
  const std::uint64_t full_table = bits_per_pixel <= 8 ? std::uint64_t{1} << bits_per_pixel : 256;
  if (colors_used > full_table)
    return std::nullopt;
  const std::uint64_t color_count =
      bits_per_pixel <= 8 && colors_used == 0 ? full_table : colors_used;
  const std::uint64_t table_end = header_size + color_count * sizeof(RGBQUAD);
  if (table_end > size)
    return std::nullopt;

  const std::uint64_t stride = DibStride(width, bits_per_pixel);
  const std::uint64_t image_size = stride * static_cast<std::uint64_t>(height);
  if (image_size > kMaxDibBytes)
    return std::nullopt;
  const std::uint64_t pixels_at = pixel_offset.value_or(table_end);
  if (pixels_at < header_size || pixels_at > size || size - pixels_at < image_size) {
    return std::nullopt;
  }

  Dib dib;
  dib.width = static_cast<int>(width);
  dib.height = static_cast<int>(height);
  dib.top_down = signed_height < 0;
  dib.bits_per_pixel = bits_per_pixel;
  dib.stride = static_cast<int>(stride);
  if (bits_per_pixel <= 8) {
    dib.colors.resize(color_count);
    std::memcpy(dib.colors.data(), header + header_size, color_count * sizeof(RGBQUAD));
  }
  dib.bits.assign(header + pixels_at, header + pixels_at + image_size);
  return dib;
}

std::optional<Dib> ParseBitmapFile(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M')
    return std::nullopt;
  const std::uint32_t bits_offset = ReadU32(file.data() + 10);
  std::optional<std::uint64_t> pixel_offset;
  if (bits_offset != 0) {
    if (bits_offset < kFileHeaderSize)
      return std::nullopt;
    pixel_offset = bits_offset - kFileHeaderSize;
  }
  return ParsePackedDib(file.subspan(kFileHeaderSize), pixel_offset);
}

std::optional<Dib> ScaleDib(const Dib& source, int width, int height) {
  if (width <= 0 || width > kMaxDibSide || height <= 0 || height > kMaxDibSide) {
    return std::nullopt;
  }
  const std::uint64_t stride = DibStride(width, source.bits_per_pixel);
  if (stride * static_cast<std::uint64_t>(height) > kMaxDibBytes)
    return std::nullopt;

  Dib scaled;
  scaled.width = width;
  scaled.height = height;
  scaled.top_down = source.top_down;
  scaled.bits_per_pixel = source.bits_per_pixel;
  scaled.stride = static_cast<int>(stride);
  scaled.colors = source.colors;
  scaled.bits.assign(stride * static_cast<std::uint64_t>(height), 0);

  const PixelPlane from = PlaneOf(source);
  const PixelPlane to = PlaneOf(scaled);
  for (int y = 0; y < height; ++y) {
    const int source_y = NearestSample(y, height, source.height);
    for (int x = 0; x < width; ++x) {
      const int source_x = NearestSample(x, width, source.width);
      WritePixelValue(to, x, y, ReadPixelValue(from, source_x, source_y));
    }
  }
  return scaled;
}

}  // namespace orv::platform
