// StretchBlt: a nearest-neighbour copy from one DC's pixels to another's that turns
// each source colour into the destination's pixel value.
#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/open_call.h"
#include "gdi/gdi_objects.h"
#include "gdi/pixel_plane.h"
#include "win/gdi.h"

namespace orv::platform {
namespace {

// One destination row or column and the source row or column it shows.
struct AxisStep {
  int dest;
  int source;
};

// Maps the destination span [dest_start, dest_start + dest_extent) onto the source
// span, clipped to both; extents of opposite signs mirror the image.
std::vector<AxisStep> MapAxis(std::int64_t dest_start, std::int64_t dest_extent,
                              std::int64_t source_start, std::int64_t source_extent, int dest_limit,
                              int source_limit) {
  const bool mirror = (dest_extent < 0) != (source_extent < 0);
  if (dest_extent < 0) {
    dest_start += dest_extent;
    dest_extent = -dest_extent;
  }
  if (source_extent < 0) {
    source_start += source_extent;
    source_extent = -source_extent;
  }
  std::vector<AxisStep> steps;
  const std::int64_t first = std::max<std::int64_t>(0, -dest_start);
  const std::int64_t end = std::min<std::int64_t>(dest_extent, dest_limit - dest_start);
  for (std::int64_t i = first; i < end; ++i) {
    // Wide arithmetic: far-off rectangles must not overflow the sampling product.
    auto k = static_cast<std::int64_t>((static_cast<__int128>(2 * i + 1) * source_extent) /
                                       (2 * static_cast<__int128>(dest_extent)));
    if (mirror)
      k = source_extent - 1 - k;
    const std::int64_t source = source_start + k;
    if (source < 0 || source >= source_limit)
      continue;
    steps.push_back({static_cast<int>(dest_start + i), static_cast<int>(source)});
  }
  return steps;
}

// Colour conversion from a source pixel value to a destination pixel value.
// Indexed sources convert each table entry once; direct-colour sources onto an
// indexed destination remember recent matches in a small exact cache.
class ValueConverter {
 public:
  ValueConverter(const PixelPlane& source, const PixelPlane& dest) : dest_(dest) {
    source_indexed_ = source.indexed();
    if (source_indexed_) {
      const std::uint32_t black = ValueForColor(dest, 0);
      table_.fill(black);
      const std::size_t count = std::min<std::size_t>(source.colors.size(), table_.size());
      // A colour the destination holds maps to its first entry, found by name; only the
      // others are matched by distance.
      std::unordered_map<std::uint32_t, std::uint32_t> first_entry;
      if (dest.indexed()) {
        for (std::size_t i = dest.colors.size(); i-- > 0;)
          first_entry[dest.colors[i]] = static_cast<std::uint32_t>(i);
      }
      for (std::size_t i = 0; i < count; ++i) {
        const auto exact = first_entry.find(source.colors[i]);
        table_[i] =
            exact != first_entry.end() ? exact->second : ValueForColor(dest, source.colors[i]);
      }
    } else if (dest.indexed()) {
      cache_keys_.assign(kCacheSize, kNoKey);
      cache_values_.assign(kCacheSize, 0);
    }
  }

  // The destination value of each index of an indexed source; null for other sources.
  const std::array<std::uint32_t, 256>* IndexTable() const {
    return source_indexed_ ? &table_ : nullptr;
  }

  std::uint32_t operator()(std::uint32_t value) {
    if (source_indexed_)
      return table_[value & 0xFF];
    const std::uint32_t rgb = value & 0xFFFFFF;
    if (!dest_.indexed())
      return rgb;
    const std::size_t slot = (rgb ^ rgb >> 12) & (kCacheSize - 1);
    if (cache_keys_[slot] != rgb) {
      cache_keys_[slot] = rgb;
      cache_values_[slot] = ValueForColor(dest_, rgb);
    }
    return cache_values_[slot];
  }

 private:
  static constexpr std::size_t kCacheSize = 4096;
  static constexpr std::uint32_t kNoKey = 0xFFFFFFFF;
  const PixelPlane& dest_;
  bool source_indexed_ = false;
  std::array<std::uint32_t, 256> table_{};
  std::vector<std::uint32_t> cache_keys_;
  std::vector<std::uint32_t> cache_values_;
};

template <int kSourceBits, int kDestBits>
void CopyPixels(const PixelPlane& source, const PixelPlane& dest, const std::vector<AxisStep>& rows,
                const std::vector<AxisStep>& columns, ValueConverter& convert) {
  for (const AxisStep& row : rows) {
    const std::uint8_t* from = source.Row(row.source);
    std::uint8_t* to = dest.Row(row.dest);
    for (const AxisStep& column : columns) {
      WriteValueAt<kDestBits>(to, column.dest,
                              convert(ReadValueAt<kSourceBits>(from, column.source)));
    }
  }
}

// Whether the columns are one run, each source column right of the one before: the copy
// is not scaled or mirrored across.
bool OneToOne(const std::vector<AxisStep>& columns) {
  const auto count = static_cast<int>(columns.size());
  return columns.back().dest - columns.front().dest == count - 1 &&
         columns.back().source - columns.front().source == count - 1;
}

// 8-bit indices onto 8-bit indices, column for column: each row is one pass through the
// table, as bitmaps are loaded onto surfaces.
void CopyIndexRuns(const PixelPlane& source, const PixelPlane& dest,
                   const std::vector<AxisStep>& rows, const std::vector<AxisStep>& columns,
                   const std::array<std::uint32_t, 256>& table) {
  std::array<std::uint8_t, 256> indices;
  for (std::size_t i = 0; i < indices.size(); ++i)
    indices[i] = static_cast<std::uint8_t>(table[i]);
  const std::size_t count = columns.size();
  for (const AxisStep& row : rows) {
    const std::uint8_t* from = source.Row(row.source) + columns.front().source;
    std::uint8_t* to = dest.Row(row.dest) + columns.front().dest;
    for (std::size_t i = 0; i < count; ++i)
      to[i] = indices[from[i]];
  }
}

template <int kSourceBits>
void CopyToDest(const PixelPlane& source, const PixelPlane& dest, const std::vector<AxisStep>& rows,
                const std::vector<AxisStep>& columns, ValueConverter& convert) {
  switch (dest.bits_per_pixel) {
    case 1:
      return CopyPixels<kSourceBits, 1>(source, dest, rows, columns, convert);
    case 4:
      return CopyPixels<kSourceBits, 4>(source, dest, rows, columns, convert);
    case 8:
      return CopyPixels<kSourceBits, 8>(source, dest, rows, columns, convert);
    case 24:
      return CopyPixels<kSourceBits, 24>(source, dest, rows, columns, convert);
    default:
      return CopyPixels<kSourceBits, 32>(source, dest, rows, columns, convert);
  }
}

// The bytes a plane's rows cover.
std::pair<const std::uint8_t*, const std::uint8_t*> Extent(const PixelPlane& plane) {
  const std::uint8_t* first = plane.Row(0);
  const std::uint8_t* last = plane.Row(plane.height - 1);
  if (first > last)
    std::swap(first, last);
  return {first, last + (static_cast<std::size_t>(plane.width) * plane.bits_per_pixel + 7) / 8};
}

}  // namespace
}  // namespace orv::platform

BOOL StretchBlt(HDC dest, int dest_x, int dest_y, int dest_width, int dest_height, HDC source,
                int source_x, int source_y, int source_width, int source_height, DWORD rop) {
  using namespace orv::platform;
  if (auto early = OpenCall(FALSE, "StretchBlt", dest, dest_x, dest_y, dest_width, dest_height,
                            source, source_x, source_y, source_width, source_height, rop)) {
    return *early;
  }
  if (rop != SRCCOPY)
    return FALSE;  // the one raster operation offered
  auto to = PlaneOfDeviceContext(dest);
  auto from = PlaneOfDeviceContext(source);
  if (!to || !from || source_width == 0 || source_height == 0)
    return FALSE;
  if (dest_width == 0 || dest_height == 0)
    return TRUE;

  const auto columns = MapAxis(dest_x, dest_width, source_x, source_width, to->width, from->width);
  const auto rows = MapAxis(dest_y, dest_height, source_y, source_height, to->height, from->height);
  if (columns.empty() || rows.empty())
    return TRUE;

  // A copy within the same pixels reads from a snapshot, so that no pixel is read
  // after the copy overwrote it.
  std::vector<std::uint8_t> snapshot;
  const auto [from_first, from_end] = Extent(*from);
  const auto [to_first, to_end] = Extent(*to);
  // Addresses as integers: the two planes are usually unrelated buffers.
  const auto address = [](const std::uint8_t* p) { return reinterpret_cast<std::uintptr_t>(p); };
  if (address(from_first) < address(to_end) && address(to_first) < address(from_end)) {
    snapshot.assign(from_first, from_end);
    from->top_row = snapshot.data() + (from->top_row - from_first);
  }

  ValueConverter convert(*from, *to);
  if (from->bits_per_pixel == 8 && to->bits_per_pixel == 8 && OneToOne(columns)) {
    CopyIndexRuns(*from, *to, rows, columns, *convert.IndexTable());
    return TRUE;
  }
  switch (from->bits_per_pixel) {
    case 1:
      CopyToDest<1>(*from, *to, rows, columns, convert);
      break;
    case 4:
      CopyToDest<4>(*from, *to, rows, columns, convert);
      break;
    case 8:
      CopyToDest<8>(*from, *to, rows, columns, convert);
      break;
    case 24:
      CopyToDest<24>(*from, *to, rows, columns, convert);
      break;
    default:
      CopyToDest<32>(*from, *to, rows, columns, convert);
      break;
  }
  return TRUE;
}
