// The canvas picture of the exclusive display: the frame's palette indices turned into
// the canvas's RGBA pixels, kept from frame to frame so that only what changed (as the
// hosts' shared search finds it) is converted and sent to the canvas.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/host.h"
#include "hosts/changes/changed_regions.h"

namespace orv::platform::web {

// A rectangle of the picture.
struct Area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Area&) const = default;
};

class FramePicture {
 public:
  // Takes a frame and returns the areas of the picture that changed since the last one
  // (at most changes::kMaxRegions): the whole picture after a change of size or palette,
  // or after Invalidate.
  std::span<const Area> Update(const PresentedFrame& frame);
  // The next update converts the whole frame.
  void Invalidate() { shown_.Invalidate(); }

  // RGBA bytes in canvas order (red first), width * height pixels.
  const std::uint32_t* pixels() const { return pixels_.data(); }
  int width() const { return shown_.View().width; }
  int height() const { return shown_.View().height; }

 private:
  void Convert(const PresentedFrame& frame, const Area& area);

  changes::ShownFrame shown_;
  std::array<std::uint32_t, 256> lut_{};
  std::vector<std::uint32_t> pixels_;
  std::vector<Area> areas_;
};

}  // namespace orv::platform::web
