// How frames reach the SDL window. Two ways: drawn on a picture of the window and sent to
// the window system as rectangles (on X11 straight through shared memory, elsewhere
// through SDL's window surface), or uploaded to a streaming texture that an accelerated
// renderer scales and shows at the display's vertical blank. Either way only what changed
// is converted and sent, and the frame is scaled by a whole factor and centred on black,
// as FitFrame places it.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/host.h"
#include "hosts/changes/changed_regions.h"

namespace orv::platform::sdl {

enum class PresentPath {
  kWindowSurface,
  kRenderer,
};

class Presenter {
 public:
  virtual ~Presenter() = default;

  virtual PresentPath path() const = 0;
  // Shows `frame` (of width 0: black only). `regions` are what changed since the frame
  // shown before; `whole` draws and sends everything again, the black surround included.
  // Returns the bytes sent towards the display.
  virtual std::size_t Show(const PresentedFrame& frame, const std::vector<changes::Region>& regions,
                           bool whole) = 0;
  // The window has the size it will show frames of this size at: what the first of them
  // needs may be made ready meanwhile.
  virtual void Prepare(int frame_width, int frame_height) {
    (void)frame_width;
    (void)frame_height;
  }
  // The renderer lost its textures: the next Show must start afresh.
  virtual void Reset() {}
  // Reads back the window's picture as 0xRRGGBB pixels, for tests and tools; `frame` is
  // the frame last shown.
  virtual bool ReadPicture(const PresentedFrame& frame, std::vector<std::uint32_t>& pixels,
                           int& width, int& height) = 0;
};

std::unique_ptr<Presenter> MakeSurfacePresenter(SDL_Window* window);
// A connection to the local X server that DISPLAY names, opened on a thread of its own
// while SDL starts its video: XOpenDisplay takes milliseconds of the start-up. Made before
// any other Xlib call, since it makes Xlib safe for threads first. Null where DISPLAY
// names no local server, or where the presenter is not built.
class XConnectionAhead;
struct XConnectionAheadDeleter {
  void operator()(XConnectionAhead* connection) const;
};
using XConnectionAheadPtr = std::unique_ptr<XConnectionAhead, XConnectionAheadDeleter>;
XConnectionAheadPtr OpenXConnectionAhead();

// The window surface's way without SDL: X11 shared memory on a connection of its own,
// `ahead`'s when it goes to the window's server. Null where the window is not on a local
// X server that takes pictures so.
std::unique_ptr<Presenter> MakeXShmPresenter(SDL_Window* window, XConnectionAhead* ahead = nullptr);
// Takes ownership of `renderer`.
std::unique_ptr<Presenter> MakeRendererPresenter(SDL_Renderer* renderer);

}  // namespace orv::platform::sdl
