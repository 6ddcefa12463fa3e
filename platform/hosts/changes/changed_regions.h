// What changed between two frames of the exclusive display, for hosts that present only
// that: a short list of rectangles covering every pixel whose palette index differs,
// nearby changes merged into one rectangle. Sees only the host seam, so that any host
// can use it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/host.h"

namespace orv::platform::changes {

// A rectangle of frame pixels; right and bottom are exclusive.
struct Region {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  std::int64_t Area() const { return std::int64_t{Width()} * Height(); }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Region&) const = default;
};

// At most this many regions come out of one comparison.
inline constexpr int kMaxRegions = 8;
// Changes fewer than this many pixels apart, across or down, share a region: a few
// unchanged pixels cost less to send again than another rectangle does.
inline constexpr int kMergeDistance = 16;

// One 8-bit frame in memory: `pitch` bytes from one row to the next.
struct IndexPlane {
  const std::uint8_t* pixels = nullptr;
  int pitch = 0;
};

// Regions covering every pixel of the `width` x `height` frames where `next` differs from
// `previous`, none overlapping another, at most kMaxRegions; empty when nothing differs.
void FindChangedRegions(IndexPlane previous, IndexPlane next, int width, int height,
                        std::vector<Region>& regions);
// The same, looking only inside `areas` (clipped to the frame): for callers that know
// nothing outside them can differ.
void FindChangedRegionsWithin(IndexPlane previous, IndexPlane next, int width, int height,
                              std::span<const Region> areas, std::vector<Region>& regions);

// What a host last showed and what a new frame changes on it.
class ShownFrame {
 public:
  // Keeps `frame` as the one shown and returns the regions it changes: the whole frame
  // when nothing was kept, after Invalidate(), when the size or any palette colour changed.
  // Where the frames' draw histories are known, it compares only where they differ.
  const std::vector<Region>& Show(const PresentedFrame& frame);
  // The next frame is shown whole (the host's picture was lost or moved).
  void Invalidate() { valid_ = false; }
  // Forgets the frame altogether: nothing is shown.
  void Clear();

  bool empty() const { return width_ == 0; }
  // What the last Show returned, until the next Show or Clear.
  const std::vector<Region>& changes() const { return regions_; }
  // The frame last shown (width 0 when none).
  PresentedFrame View() const {
    return {indices_.data(), width_, height_, width_, palette_.data()};
  }
  Region Whole() const { return {0, 0, width_, height_}; }

 private:
  void KeepHistory(const PresentedFrame& frame);

  std::vector<std::uint8_t> indices_;
  std::array<PALETTEENTRY, 256> palette_{};
  int width_ = 0;
  int height_ = 0;
  bool valid_ = false;
  DrawHistory history_;  // of the kept frame
  std::vector<Region> areas_;
  std::vector<Region> regions_;
};

}  // namespace orv::platform::changes
