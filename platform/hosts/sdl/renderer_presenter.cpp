// Frames through an SDL renderer: the frame's changed regions are converted into a
// streaming texture of the frame's size (only they are uploaded), which the renderer
// scales by a whole factor with nearest filtering onto black and shows, with vertical
// sync where the renderer has it. Nothing changed, nothing shown: the display keeps the
// last picture.
#include "hosts/sdl/frame_conversion.h"
#include "hosts/sdl/frame_placement.h"
#include "hosts/sdl/presenter.h"
#include "hosts/sdl/system_allocations.h"

namespace orv::platform::sdl {
namespace {

// The texture's format: 32 bits, alpha opaque.
constexpr Uint32 kTextureFormat = SDL_PIXELFORMAT_ARGB8888;
constexpr PixelLayout kTextureLayout{16, 8, 0, 0xFF000000u};

class RendererPresenter : public Presenter {
 public:
  explicit RendererPresenter(SDL_Renderer* renderer) : renderer_(renderer) {}
  ~RendererPresenter() override {
    Reset();
    SDL_DestroyRenderer(renderer_);
  }

  PresentPath path() const override { return PresentPath::kRenderer; }

  void Reset() override {
    if (texture_ != nullptr)
      SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    texture_width_ = 0;
    texture_height_ = 0;
  }

  std::size_t Show(const PresentedFrame& frame, const std::vector<changes::Region>& regions,
                   bool whole) override {
    if (!whole && regions.empty())
      return 0;
    std::size_t bytes = 0;
    if (frame.width > 0) {
      if (texture_ == nullptr || texture_width_ != frame.width || texture_height_ != frame.height) {
        if (!MakeTexture(frame.width, frame.height))
          return 0;
        whole = true;
      }
      const PaletteLut lut = MakePaletteLut(frame.palette, kTextureLayout);
      if (whole) {
        bytes = Upload(frame, lut, {0, 0, frame.width, frame.height});
      } else {
        for (const changes::Region& region : regions)
          bytes += Upload(frame, lut, region);
      }
    }
    Draw(frame);
    Present();
    return bytes;
  }

  bool ReadPicture(const PresentedFrame& frame, std::vector<std::uint32_t>& pixels, int& width,
                   int& height) override {
    // The picture after a present is gone from the renderer's buffer: draw it once more.
    if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0)
      return false;
    Draw(frame);
    pixels.resize(static_cast<std::size_t>(width) * height);
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                             width * static_cast<int>(sizeof(std::uint32_t))) != 0) {
      return false;
    }
    for (std::uint32_t& pixel : pixels)
      pixel &= 0xFFFFFFu;
    return true;
  }

 private:
  bool MakeTexture(int width, int height) {
    Reset();
    texture_ =
        SDL_CreateTexture(renderer_, kTextureFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture_ == nullptr)
      return false;
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    texture_width_ = width;
    texture_height_ = height;
    return true;
  }

  // Converts one region of the frame into the texture.
  std::size_t Upload(const PresentedFrame& frame, const PaletteLut& lut,
                     const changes::Region& region) {
    const SDL_Rect rect{region.left, region.top, region.Width(), region.Height()};
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, &rect, &pixels, &pitch) != 0)
      return 0;
    DrawFrameRegion(frame, lut, {1, -region.left, -region.top}, region,
                    {static_cast<std::uint32_t*>(pixels), rect.w, rect.h, pitch});
    SDL_UnlockTexture(texture_);
    return sizeof(std::uint32_t) * static_cast<std::size_t>(rect.w) * rect.h;
  }

  void Present() {
    // The driver finishes setting itself up at the first present.
    const SystemAllocations driver;
    SDL_RenderPresent(renderer_);
  }

  // Black, and the frame at its place over it.
  void Draw(const PresentedFrame& frame) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (frame.width <= 0 || texture_ == nullptr)
      return;
    int width = 0;
    int height = 0;
    if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0)
      return;
    const FramePlacement placement = FitFrame(width, height, frame.width, frame.height);
    const SDL_Rect to{placement.x, placement.y, frame.width * placement.scale,
                      frame.height * placement.scale};
    SDL_RenderCopy(renderer_, texture_, nullptr, &to);
  }

  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
};

}  // namespace

std::unique_ptr<Presenter> MakeRendererPresenter(SDL_Renderer* renderer) {
  return std::make_unique<RendererPresenter>(renderer);
}

}  // namespace orv::platform::sdl
