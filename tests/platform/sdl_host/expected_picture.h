// What a window showing the exclusive display must show, for the tests that read one back.
#pragma once

#include <cstdint>

#include "core/host.h"
#include "hosts/sdl/frame_placement.h"

namespace orv::platform::sdl {

// The 0xRRGGBB pixel at (x, y) of a window showing `frame` placed `at`: the frame's pixel
// scaled by a whole factor, black where the frame does not reach.
inline std::uint32_t ExpectedPixel(const PresentedFrame& frame, const FramePlacement& at, int x,
                                   int y) {
  if (x < at.x || y < at.y)
    return 0;
  const int fx = (x - at.x) / at.scale;
  const int fy = (y - at.y) / at.scale;
  if (fx >= frame.width || fy >= frame.height)
    return 0;
  const PALETTEENTRY& e = frame.palette[frame.pixels[fy * frame.pitch + fx]];
  return (std::uint32_t{e.peRed} << 16) | (std::uint32_t{e.peGreen} << 8) | e.peBlue;
}

}  // namespace orv::platform::sdl
