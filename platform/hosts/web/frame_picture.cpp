#include "hosts/web/frame_picture.h"

#include <algorithm>
#include <cstring>

namespace orv::platform::web {
namespace {

bool SamePalette(const std::array<PALETTEENTRY, 256>& kept, const PALETTEENTRY* palette) {
  for (int i = 0; i < 256; ++i) {
    if (kept[i].peRed != palette[i].peRed || kept[i].peGreen != palette[i].peGreen ||
        kept[i].peBlue != palette[i].peBlue) {
      return false;
    }
  }
  return true;
}

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
  if (frame.pixels == nullptr || frame.palette == nullptr || frame.width <= 0 ||
      frame.height <= 0) {
    return areas_;
  }
  const std::size_t row_bytes = static_cast<std::size_t>(frame.width);
  if (!valid_ || frame.width != width_ || frame.height != height_ ||
      !SamePalette(palette_, frame.palette)) {
    width_ = frame.width;
    height_ = frame.height;
    indices_.resize(row_bytes * height_);
    pixels_.resize(row_bytes * height_);
    std::copy_n(frame.palette, 256, palette_.begin());
    for (int i = 0; i < 256; ++i)
      lut_[i] = CanvasPixel(palette_[i]);
    valid_ = true;
    areas_.push_back({0, 0, width_, height_});
    Convert(frame, areas_.front());
    return areas_;
  }

  // Bands of changed rows, each as wide as its changes.
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* now = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
    const std::uint8_t* kept = &indices_[y * row_bytes];
    if (std::memcmp(now, kept, row_bytes) == 0)
      continue;
    int left = 0;
    while (now[left] == kept[left])
      ++left;
    int right = width_;
    while (now[right - 1] == kept[right - 1])
      --right;
    if (!areas_.empty() && y - (areas_.back().y + areas_.back().height) < kBandGap) {
      Area& band = areas_.back();
      const int band_right = std::max(band.x + band.width, right);
      band.x = std::min(band.x, left);
      band.width = band_right - band.x;
      band.height = y + 1 - band.y;
    } else {
      areas_.push_back({left, y, right - left, 1});
    }
  }
  // Too many bands: the two with the smallest gap between them become one.
  while (static_cast<int>(areas_.size()) > kMaxAreas) {
    std::size_t closest = 0;
    int smallest_gap = height_;
    for (std::size_t i = 0; i + 1 < areas_.size(); ++i) {
      const int gap = areas_[i + 1].y - (areas_[i].y + areas_[i].height);
      if (gap < smallest_gap) {
        smallest_gap = gap;
        closest = i;
      }
    }
    Area& first = areas_[closest];
    const Area& second = areas_[closest + 1];
    const int right = std::max(first.x + first.width, second.x + second.width);
    first.x = std::min(first.x, second.x);
    first.width = right - first.x;
    first.height = second.y + second.height - first.y;
    areas_.erase(areas_.begin() + static_cast<std::ptrdiff_t>(closest) + 1);
  }
  for (const Area& area : areas_)
    Convert(frame, area);
  return areas_;
}

void FramePicture::Convert(const PresentedFrame& frame, const Area& area) {
  for (int y = area.y; y < area.y + area.height; ++y) {
    const std::uint8_t* from = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + area.x;
    std::uint8_t* kept = &indices_[static_cast<std::size_t>(y) * width_ + area.x];
    std::uint32_t* to = &pixels_[static_cast<std::size_t>(y) * width_ + area.x];
    std::memcpy(kept, from, area.width);
    for (int x = 0; x < area.width; ++x)
      to[x] = lut_[from[x]];
  }
}

}  // namespace orv::platform::web
