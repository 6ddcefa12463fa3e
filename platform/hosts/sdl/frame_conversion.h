// Conversion of an 8-bit palettised frame into a 32-bit window picture: a 256-entry
// lookup table of ready-made pixels, and a scaled, clipped copy through it.
#pragma once

#include <array>
#include <cstdint>

#include "core/host.h"
#include "hosts/changes/changed_regions.h"
#include "hosts/sdl/frame_placement.h"

namespace orv::platform::sdl {

// Where the colour channels sit in a 32-bit target pixel.
struct PixelLayout {
  int red_shift = 16;
  int green_shift = 8;
  int blue_shift = 0;
  std::uint32_t opaque = 0;  // alpha bits set in every pixel (0 when the target has no alpha)
};

using PaletteLut = std::array<std::uint32_t, 256>;

PaletteLut MakePaletteLut(const PALETTEENTRY* palette, const PixelLayout& layout);

// A 32-bit target picture; `pitch` is in bytes.
struct TargetPicture {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// A rectangle of target pixels.
struct TargetArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
};

// Fills the whole target: the frame through `lut`, each pixel as a scale x scale block at
// the placement, clipped to the target, and the layout's black everywhere else.
void DrawFrame(const PresentedFrame& frame, const PaletteLut& lut, const FramePlacement& placement,
               std::uint32_t black, const TargetPicture& target);

// Draws only the frame pixels inside `region` as DrawFrame would, touching nothing else
// of the target; returns the target area written (empty when the region lies outside it).
TargetArea DrawFrameRegion(const PresentedFrame& frame, const PaletteLut& lut,
                           const FramePlacement& placement, const changes::Region& region,
                           const TargetPicture& target);

// The target pixels the placed frame covers, clipped to the target (empty when none).
TargetArea PlacedFrameArea(int frame_width, int frame_height, const FramePlacement& placement,
                           int target_width, int target_height);

// Fills the target with `black` wherever the placed frame does not cover it.
void FillSurround(int frame_width, int frame_height, const FramePlacement& placement,
                  std::uint32_t black, const TargetPicture& target);

}  // namespace orv::platform::sdl
