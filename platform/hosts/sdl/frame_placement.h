// Where an exclusive-mode frame lands in a window: scaled by the largest whole factor
// that fits (at least 1) and centred; what the frame does not cover stays black.
#pragma once

namespace orv::platform::sdl {

struct FramePlacement {
  int scale = 1;
  int x = 0;  // window position of the frame's top-left pixel; negative when it overhangs
  int y = 0;
};

FramePlacement FitFrame(int window_width, int window_height, int frame_width, int frame_height);

// The whole factor for a window showing the frame: the largest that fits the space
// available on the desktop, at most `max_scale` and at least 1.
int WindowScale(int available_width, int available_height, int frame_width, int frame_height,
                int max_scale);

}  // namespace orv::platform::sdl
