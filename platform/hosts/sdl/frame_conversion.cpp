#include "hosts/sdl/frame_conversion.h"

#include <algorithm>
#include <cstring>

namespace orv::platform::sdl {
namespace {

std::uint32_t* TargetRow(const TargetPicture& target, int y) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(target.pixels) +
                                          static_cast<std::ptrdiff_t>(y) * target.pitch);
}

// The span [begin, end) of target coordinates covered by a frame extent, clipped.
struct Span {
  int begin;
  int end;
};
Span CoveredSpan(int position, int frame_extent, int scale, int target_extent) {
  const int begin = std::clamp(position, 0, target_extent);
  const int end = std::clamp(position + frame_extent * scale, begin, target_extent);
  return {begin, end};
}

// One target row from one frame row: converts and widens the covered columns.
void ConvertRow(const std::uint8_t* source, const PaletteLut& lut, int placement_x, int scale,
                Span columns, std::uint32_t* row) {
  if (scale == 1) {
    const std::uint8_t* from = source + (columns.begin - placement_x);
    for (int x = columns.begin; x < columns.end; ++x)
      row[x] = lut[*from++];
    return;
  }
  int x = columns.begin;
  int source_x = (x - placement_x) / scale;
  int repeat = scale - (x - placement_x) % scale;  // copies left of the first source pixel
  while (x < columns.end) {
    const std::uint32_t pixel = lut[source[source_x++]];
    const int stop = std::min(x + repeat, columns.end);
    for (; x < stop; ++x)
      row[x] = pixel;
    repeat = scale;
  }
}

}  // namespace

PaletteLut MakePaletteLut(const PALETTEENTRY* palette, const PixelLayout& layout) {
  PaletteLut lut;
  for (int i = 0; i < 256; ++i) {
    lut[i] = layout.opaque | (std::uint32_t{palette[i].peRed} << layout.red_shift) |
             (std::uint32_t{palette[i].peGreen} << layout.green_shift) |
             (std::uint32_t{palette[i].peBlue} << layout.blue_shift);
  }
  return lut;
}

void DrawFrame(const PresentedFrame& frame, const PaletteLut& lut, const FramePlacement& placement,
               std::uint32_t black, const TargetPicture& target) {
  FillSurround(frame.width, frame.height, placement, black, target);
  DrawFrameRegion(frame, lut, placement, {0, 0, frame.width, frame.height}, target);
}

TargetArea DrawFrameRegion(const PresentedFrame& frame, const PaletteLut& lut,
                           const FramePlacement& placement, const changes::Region& region,
                           const TargetPicture& target) {
  const int scale = std::max(1, placement.scale);
  const Span columns =
      CoveredSpan(placement.x + region.left * scale, region.Width(), scale, target.width);
  const Span rows =
      CoveredSpan(placement.y + region.top * scale, region.Height(), scale, target.height);
  if (columns.begin >= columns.end || rows.begin >= rows.end)
    return {};
  const std::uint32_t* previous = nullptr;
  int previous_source_y = -1;
  for (int y = rows.begin; y < rows.end; ++y) {
    std::uint32_t* row = TargetRow(target, y);
    const int source_y = (y - placement.y) / scale;
    if (source_y == previous_source_y) {
      // The same frame row again: copy the row already converted.
      std::memcpy(row + columns.begin, previous + columns.begin,
                  sizeof(std::uint32_t) * (columns.end - columns.begin));
    } else {
      ConvertRow(frame.pixels + static_cast<std::ptrdiff_t>(source_y) * frame.pitch, lut,
                 placement.x, scale, columns, row);
      previous_source_y = source_y;
    }
    previous = row;
  }
  return {columns.begin, rows.begin, columns.end - columns.begin, rows.end - rows.begin};
}

TargetArea PlacedFrameArea(int frame_width, int frame_height, const FramePlacement& placement,
                           int target_width, int target_height) {
  const int scale = std::max(1, placement.scale);
  const Span columns = CoveredSpan(placement.x, frame_width, scale, target_width);
  const Span rows = CoveredSpan(placement.y, frame_height, scale, target_height);
  if (columns.begin >= columns.end || rows.begin >= rows.end)
    return {};
  return {columns.begin, rows.begin, columns.end - columns.begin, rows.end - rows.begin};
}

void FillSurround(int frame_width, int frame_height, const FramePlacement& placement,
                  std::uint32_t black, const TargetPicture& target) {
  const TargetArea covered =
      PlacedFrameArea(frame_width, frame_height, placement, target.width, target.height);
  for (int y = 0; y < target.height; ++y) {
    std::uint32_t* row = TargetRow(target, y);
    if (!covered.empty() && y >= covered.y && y < covered.y + covered.height) {
      std::fill(row, row + covered.x, black);
      std::fill(row + covered.x + covered.width, row + target.width, black);
    } else {
      std::fill(row, row + target.width, black);
    }
  }
}

}  // namespace orv::platform::sdl
