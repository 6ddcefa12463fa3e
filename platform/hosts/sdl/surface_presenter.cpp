// Frames drawn on the window surface, where the host has no way of its own to the window
// system (SDL's display-less drivers, Wayland): SDL sends the rectangles named to the
// window system, and the surface keeps what it showed, so a frame costs only its changed
// regions. The surround is painted when the surface or the frame's placement on it
// changes.
#include <algorithm>
#include <optional>

#include "hosts/sdl/frame_conversion.h"
#include "hosts/sdl/frame_placement.h"
#include "hosts/sdl/page_prefault.h"
#include "hosts/sdl/presenter.h"

namespace orv::platform::sdl {
namespace {

// A 32-bit surface with 8-bit channels can be drawn on directly.
bool IsDirectFormat(const SDL_PixelFormat& format) {
  return format.BytesPerPixel == 4 && format.Rloss == 0 && format.Gloss == 0 && format.Bloss == 0;
}

PixelLayout LayoutOf(const SDL_PixelFormat& format) {
  return {format.Rshift, format.Gshift, format.Bshift, format.Amask};
}

class SurfacePresenter : public Presenter {
 public:
  explicit SurfacePresenter(SDL_Window* window) : window_(window) {}
  ~SurfacePresenter() override {
    if (staging_ != nullptr)
      SDL_FreeSurface(staging_);
  }

  PresentPath path() const override { return PresentPath::kWindowSurface; }

  std::size_t Show(const PresentedFrame& frame, const std::vector<changes::Region>& regions,
                   bool whole) override {
    if (!whole && regions.empty())
      return 0;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr)
      return 0;
    SDL_Surface* target = surface;
    if (!IsDirectFormat(*surface->format)) {
      // Drawn here, then converted by SDL into the window's format.
      if (staging_ == nullptr || staging_->w != surface->w || staging_->h != surface->h) {
        if (staging_ != nullptr)
          SDL_FreeSurface(staging_);
        staging_ =
            SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_XRGB8888);
        if (staging_ == nullptr)
          return 0;
        whole = true;
      }
      target = staging_;
    }
    // What the window shows in whole: its surface and the frame's size on it, from which
    // the placement follows. Anything else is drawn and sent whole.
    const Placed placed{surface, surface->w, surface->h, frame.width, frame.height};
    whole = whole || !(placed == placed_);

    const PixelLayout layout = LayoutOf(*target->format);
    const PaletteLut lut =
        frame.palette != nullptr ? MakePaletteLut(frame.palette, layout) : PaletteLut{};
    const FramePlacement placement = FitFrame(target->w, target->h, frame.width, frame.height);
    const TargetPicture picture{static_cast<std::uint32_t*>(target->pixels), target->w, target->h,
                                target->pitch};
    rects_.clear();
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
      return 0;
    if (whole) {
      // A new window surface is fresh shared memory, each page of which the kernel
      // provides at its first touch: the lower half gets its pages on another thread
      // while the upper half is drawn.
      std::optional<PagePrefault> lower_half;
      if (target == surface && placed_.surface != surface) {
        const std::size_t half = static_cast<std::size_t>(target->h / 2) * target->pitch;
        lower_half.emplace(static_cast<std::uint8_t*>(target->pixels) + half,
                           static_cast<std::size_t>(target->h) * target->pitch - half);
      }
      DrawFrame(frame, lut, placement, layout.opaque, picture);
    } else {
      for (const changes::Region& region : regions) {
        const TargetArea area = DrawFrameRegion(frame, lut, placement, region, picture);
        if (!area.empty())
          rects_.push_back({area.x, area.y, area.width, area.height});
      }
    }
    if (SDL_MUSTLOCK(target))
      SDL_UnlockSurface(target);

    const std::size_t pixel_bytes = surface->format->BytesPerPixel;
    if (whole) {
      if (target != surface)
        SDL_BlitSurface(target, nullptr, surface, nullptr);
      SDL_UpdateWindowSurface(window_);
      placed_ = placed;
      return pixel_bytes * static_cast<std::size_t>(surface->w) * surface->h;
    }
    std::size_t bytes = 0;
    for (SDL_Rect& rect : rects_) {
      if (target != surface) {
        SDL_Rect to = rect;
        SDL_BlitSurface(target, &rect, surface, &to);
      }
      bytes += pixel_bytes * static_cast<std::size_t>(rect.w) * rect.h;
    }
    if (!rects_.empty())
      SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
    return bytes;
  }

  bool ReadPicture(const PresentedFrame&, std::vector<std::uint32_t>& pixels, int& width,
                   int& height) override {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr || surface->format->BytesPerPixel != 4)
      return false;
    width = surface->w;
    height = surface->h;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const Uint32*>(
          static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch);
      for (int x = 0; x < width; ++x) {
        Uint8 r, g, b;
        SDL_GetRGB(row[x], surface->format, &r, &g, &b);
        pixels[static_cast<std::size_t>(y) * width + x] =
            (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
      }
    }
    return true;
  }

 private:
  struct Placed {
    SDL_Surface* surface = nullptr;
    int surface_width = 0;
    int surface_height = 0;
    int frame_width = 0;
    int frame_height = 0;
    bool operator==(const Placed&) const = default;
  };

  SDL_Window* window_;
  // Used when the window surface is not 32 bits per pixel.
  SDL_Surface* staging_ = nullptr;
  Placed placed_;
  std::vector<SDL_Rect> rects_;
};

}  // namespace

std::unique_ptr<Presenter> MakeSurfacePresenter(SDL_Window* window) {
  return std::make_unique<SurfacePresenter>(window);
}

}  // namespace orv::platform::sdl
