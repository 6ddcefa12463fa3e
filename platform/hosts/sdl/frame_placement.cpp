#include "hosts/sdl/frame_placement.h"

#include <algorithm>

namespace orv::platform::sdl {

FramePlacement FitFrame(int window_width, int window_height, int frame_width, int frame_height) {
  FramePlacement placement;
  if (frame_width <= 0 || frame_height <= 0)
    return placement;
  placement.scale = std::max(1, std::min(window_width / frame_width, window_height / frame_height));
  // Halving a negative overhang rounds towards zero, so a frame one pixel too wide
  // loses its last column rather than its first.
  placement.x = (window_width - frame_width * placement.scale) / 2;
  placement.y = (window_height - frame_height * placement.scale) / 2;
  return placement;
}

int WindowScale(int available_width, int available_height, int frame_width, int frame_height,
                int max_scale) {
  if (frame_width <= 0 || frame_height <= 0)
    return 1;
  const int fits = std::min(available_width / frame_width, available_height / frame_height);
  return std::clamp(fits, 1, std::max(1, max_scale));
}

}  // namespace orv::platform::sdl
