#include "hosts/changes/changed_regions.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace orv::platform::changes {
namespace {

// Spans kept per row before the last one is widened instead.
constexpr int kMaxSpansPerRow = 8;
// Regions kept while rows are still being read; beyond it the two cheapest to merge are.
constexpr std::size_t kWorkingLimit = 32;

struct Span {
  int left;
  int right;
};

const std::uint8_t* Row(IndexPlane plane, int y) {
  return plane.pixels + static_cast<std::ptrdiff_t>(y) * plane.pitch;
}

// The stretches of one row where the two frames differ, nearby ones joined; each starts
// and ends on a differing pixel. Compares eight pixels at a time.
int RowSpans(const std::uint8_t* a, const std::uint8_t* b, int width,
             std::array<Span, kMaxSpansPerRow>& spans) {
  int count = 0;
  const auto add = [&](int left, int right) {
    if (count > 0 && (left - spans[count - 1].right < kMergeDistance || count == kMaxSpansPerRow)) {
      spans[count - 1].right = right;
    } else {
      spans[count++] = {left, right};
    }
  };
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    std::uint64_t word_a;
    std::uint64_t word_b;
    std::memcpy(&word_a, a + x, 8);
    std::memcpy(&word_b, b + x, 8);
    if (word_a != word_b)
      add(x, x + 8);
  }
  for (; x < width; ++x) {
    if (a[x] != b[x])
      add(x, x + 1);
  }
  // Each span's first and last group of eight holds a difference: narrow to it.
  for (int i = 0; i < count; ++i) {
    while (a[spans[i].left] == b[spans[i].left])
      ++spans[i].left;
    while (a[spans[i].right - 1] == b[spans[i].right - 1])
      --spans[i].right;
  }
  return count;
}

Region Union(const Region& a, const Region& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Overlapping, touching or fewer than kMergeDistance pixels apart both across and down.
bool Near(const Region& a, const Region& b) {
  const int gap_x = std::max(a.left, b.left) - std::min(a.right, b.right);
  const int gap_y = std::max(a.top, b.top) - std::min(a.bottom, b.bottom);
  return gap_x < kMergeDistance && gap_y < kMergeDistance;
}

void MergeInto(std::vector<Region>& regions, std::size_t keep, std::size_t drop) {
  regions[keep] = Union(regions[keep], regions[drop]);
  regions[drop] = regions.back();
  regions.pop_back();
}

// Merges near regions until none is near another; so none overlaps another either.
void MergeNear(std::vector<Region>& regions) {
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < regions.size() && !merged; ++i) {
      for (std::size_t j = i + 1; j < regions.size(); ++j) {
        if (Near(regions[i], regions[j])) {
          MergeInto(regions, i, j);
          merged = true;
          break;
        }
      }
    }
  }
}

// Merges the two regions whose union adds the fewest unchanged pixels.
void MergeCheapest(std::vector<Region>& regions) {
  std::size_t best_i = 0;
  std::size_t best_j = 1;
  std::int64_t best_cost = std::numeric_limits<std::int64_t>::max();
  for (std::size_t i = 0; i < regions.size(); ++i) {
    for (std::size_t j = i + 1; j < regions.size(); ++j) {
      const std::int64_t cost =
          Union(regions[i], regions[j]).Area() - regions[i].Area() - regions[j].Area();
      if (cost < best_cost) {
        best_cost = cost;
        best_i = i;
        best_j = j;
      }
    }
  }
  MergeInto(regions, best_i, best_j);
}

bool SameColours(const PALETTEENTRY* a, const PALETTEENTRY* b) {
  for (int i = 0; i < 256; ++i) {
    if (a[i].peRed != b[i].peRed || a[i].peGreen != b[i].peGreen || a[i].peBlue != b[i].peBlue)
      return false;
  }
  return true;
}

}  // namespace

void FindChangedRegions(IndexPlane previous, IndexPlane next, int width, int height,
                        std::vector<Region>& regions) {
  const Region whole{0, 0, width, height};
  FindChangedRegionsWithin(previous, next, width, height, {&whole, 1}, regions);
}

void FindChangedRegionsWithin(IndexPlane previous, IndexPlane next, int width, int height,
                              std::span<const Region> areas, std::vector<Region>& regions) {
  regions.clear();
  std::array<Span, kMaxSpansPerRow> spans;
  for (const Region& unclipped : areas) {
    const Region area{std::max(unclipped.left, 0), std::max(unclipped.top, 0),
                      std::min(unclipped.right, width), std::min(unclipped.bottom, height)};
    if (area.left >= area.right || area.top >= area.bottom)
      continue;
    const auto row_bytes = static_cast<std::size_t>(area.Width());
    for (int y = area.top; y < area.bottom; ++y) {
      const std::uint8_t* a = Row(previous, y) + area.left;
      const std::uint8_t* b = Row(next, y) + area.left;
      if (std::memcmp(a, b, row_bytes) == 0)
        continue;
      const int count = RowSpans(a, b, area.Width(), spans);
      for (int i = 0; i < count; ++i) {
        const Region piece{area.left + spans[i].left, y, area.left + spans[i].right, y + 1};
        const auto near = std::find_if(regions.begin(), regions.end(),
                                       [&](const Region& region) { return Near(region, piece); });
        if (near != regions.end()) {
          *near = Union(*near, piece);
        } else {
          regions.push_back(piece);
          if (regions.size() > kWorkingLimit)
            MergeCheapest(regions);
        }
      }
    }
  }
  for (;;) {
    MergeNear(regions);
    if (regions.size() <= static_cast<std::size_t>(kMaxRegions))
      break;
    MergeCheapest(regions);
  }
}

const std::vector<Region>& ShownFrame::Show(const PresentedFrame& frame) {
  regions_.clear();
  if (frame.pixels == nullptr || frame.palette == nullptr || frame.width <= 0 ||
      frame.height <= 0) {
    Clear();
    return regions_;
  }
  const bool comparable = valid_ && frame.width == width_ && frame.height == height_ &&
                          SameColours(frame.palette, palette_.data());
  std::copy_n(frame.palette, 256, palette_.begin());
  if (!comparable) {
    width_ = frame.width;
    height_ = frame.height;
    indices_.resize(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
      std::memcpy(&indices_[static_cast<std::size_t>(y) * width_],
                  Row({frame.pixels, frame.pitch}, y), static_cast<std::size_t>(width_));
    }
    valid_ = true;
    KeepHistory(frame);
    regions_.push_back(Whole());
    return regions_;
  }
  // Where both frames' drawing is known, only the pixels under the copies that differ
  // can have changed.
  areas_.clear();
  const bool drawing_known =
      frame.history != nullptr &&
      VisitDifferingCopies(history_, *frame.history, [this](const DrawCopy& copy) {
        areas_.push_back({copy.left, copy.top, copy.right, copy.bottom});
      });
  KeepHistory(frame);
  const Region whole = Whole();
  FindChangedRegionsWithin({indices_.data(), width_}, {frame.pixels, frame.pitch}, width_, height_,
                           drawing_known ? std::span<const Region>(areas_) : std::span(&whole, 1),
                           regions_);
  // The kept frame takes on the changes: everything outside the regions is the same.
  for (const Region& region : regions_) {
    for (int y = region.top; y < region.bottom; ++y) {
      std::memcpy(&indices_[static_cast<std::size_t>(y) * width_ + region.left],
                  Row({frame.pixels, frame.pitch}, y) + region.left,
                  static_cast<std::size_t>(region.Width()));
    }
  }
  return regions_;
}

void ShownFrame::KeepHistory(const PresentedFrame& frame) {
  if (frame.history != nullptr)
    history_ = *frame.history;
  else
    history_.Forget();
}

void ShownFrame::Clear() {
  history_.Forget();
  indices_.clear();
  width_ = 0;
  height_ = 0;
  valid_ = false;
  regions_.clear();
}

}  // namespace orv::platform::changes
