#include "hosts/web/frame_picture.h"

#include <cstring>

namespace orv::platform::web {
namespace {

// A canvas pixel, as its bytes lie in memory: red, green, blue, opaque alpha.
std::uint32_t CanvasPixel(const PALETTEENTRY& entry) {
  const std::uint8_t bytes[4] = {entry.peRed, entry.peGreen, entry.peBlue, 0xFF};
  std::uint32_t pixel = 0;
  std::memcpy(&pixel, bytes, sizeof pixel);
  return pixel;
}

}  // namespace

std::span<const Area> FramePicture::Update(const PresentedFrame& frame) {
  areas_.clear();
  const std::vector<changes::Region>& regions = shown_.Show(frame);
  if (regions.empty())
    return areas_;
  if (regions.front() == shown_.Whole()) {
    // Drawn afresh: the size or the palette may be new.
    pixels_.resize(static_cast<std::size_t>(frame.width) * frame.height);
    for (int i = 0; i < 256; ++i)
      lut_[i] = CanvasPixel(frame.palette[i]);
  }
  for (const changes::Region& region : regions) {
    areas_.push_back({region.left, region.top, region.Width(), region.Height()});
    Convert(frame, areas_.back());
  }
  return areas_;
}

void FramePicture::Convert(const PresentedFrame& frame, const Area& area) {
  for (int y = area.y; y < area.y + area.height; ++y) {
    const std::uint8_t* from = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + area.x;
    std::uint32_t* to = &pixels_[static_cast<std::size_t>(y) * frame.width + area.x];
    for (int x = 0; x < area.width; ++x)
      to[x] = lut_[from[x]];
  }
}

}  // namespace orv::platform::web
