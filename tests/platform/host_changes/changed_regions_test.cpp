// The changed-region search: a table of typical frame changes with the regions expected,
// the bound on their number, and random frame pairs whose every change must be covered.
#include "hosts/changes/changed_regions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <random>
#include <vector>

namespace orv::platform::changes {

void PrintTo(const Region& r, std::ostream* out) {
  *out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

struct Frame {
  int width = 640;
  int height = 480;
  std::vector<std::uint8_t> indices;

  Frame(int w, int h) : width(w), height(h), indices(static_cast<std::size_t>(w) * h) {
    // A background in which neighbouring pixels differ, as the star field's do.
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        At(x, y) = static_cast<std::uint8_t>((x * 3 + y * 5) % 200);
    }
  }
  std::uint8_t& At(int x, int y) { return indices[static_cast<std::size_t>(y) * width + x]; }
  IndexPlane Plane() const { return {indices.data(), width}; }
  // A sprite whose pixels vary, as the ship's do, at (left, top).
  void Sprite(int left, int top, int w, int h) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        At(left + x, top + y) = static_cast<std::uint8_t>(210 + (x + y) % 20);
    }
  }
  void Block(int left, int top, int w, int h, std::uint8_t index) {
    for (int y = top; y < top + h; ++y)
      std::fill_n(&At(left, y), w, index);
  }
  // Four 16x16 digit cells from the top-left corner; a digit's strokes fill the middle
  // 12x12 of its cell in a colour of its own.
  void Digits(const char* digits) {
    for (int i = 0; i < 4; ++i) {
      Block(i * 16, 0, 16, 16, 0);
      Block(i * 16 + 2, 2, 12, 12, static_cast<std::uint8_t>(220 + digits[i] - '0'));
    }
  }
};

std::vector<Region> Sorted(std::vector<Region> regions) {
  std::sort(regions.begin(), regions.end(), [](const Region& a, const Region& b) {
    return a.top != b.top ? a.top < b.top : a.left < b.left;
  });
  return regions;
}

std::vector<Region> Find(const Frame& previous, const Frame& next) {
  std::vector<Region> regions;
  FindChangedRegions(previous.Plane(), next.Plane(), previous.width, previous.height, regions);
  return Sorted(regions);
}

struct ChangeCase {
  const char* name;
  int width;
  int height;
  std::function<void(Frame&)> before;  // drawn on both frames
  std::function<void(Frame&)> after;   // drawn on the next frame only
  std::vector<Region> expected;        // sorted by top, then left
};

void PrintTo(const ChangeCase& c, std::ostream* out) {
  *out << c.name;
}

class ChangedRegionsTest : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedRegionsTest, FindsTheRegionsExpected) {
  const ChangeCase& c = GetParam();
  Frame previous(c.width, c.height);
  if (c.before)
    c.before(previous);
  Frame next = previous;
  if (c.after)
    c.after(next);
  EXPECT_EQ(Find(previous, next), c.expected);
}

const auto kNothing = [](Frame&) {};

INSTANTIATE_TEST_SUITE_P(
    Frames, ChangedRegionsTest,
    testing::Values(ChangeCase{"NothingChanged", 640, 480, kNothing, kNothing, {}},
                    ChangeCase{"OnePixel",
                               640,
                               480,
                               kNothing,
                               [](Frame& f) { f.At(101, 77) = 254; },
                               {{101, 77, 102, 78}}},
                    ChangeCase{"LastPixelOfAnOddFrame",
                               13,
                               7,
                               kNothing,
                               [](Frame& f) { f.At(12, 6) = 254; },
                               {{12, 6, 13, 7}}},
                    ChangeCase{"TwoPixelsCloseTogetherShareARegion",
                               640,
                               480,
                               kNothing,
                               [](Frame& f) {
                                 f.At(200, 200) = 254;
                                 f.At(210, 205) = 254;
                               },
                               {{200, 200, 211, 206}}},
                    ChangeCase{"MovingShip",
                               640,
                               480,
                               [](Frame& f) { f.Sprite(100, 100, 48, 46); },
                               [](Frame& f) {
                                 f = Frame(640, 480);
                                 f.Sprite(102, 100, 48, 46);
                               },
                               {{100, 100, 150, 146}}},
                    // A block of one colour changes only at its two ends, too far apart to share.
                    ChangeCase{"SolidBlockSteppingRight",
                               640,
                               480,
                               [](Frame& f) { f.Block(300, 200, 48, 46, 250); },
                               [](Frame& f) {
                                 f = Frame(640, 480);
                                 f.Block(302, 200, 48, 46, 250);
                               },
                               {{300, 200, 302, 246}, {348, 200, 350, 246}}},
                    ChangeCase{"FrameRateDigits",
                               640,
                               480,
                               [](Frame& f) { f.Digits("0059"); },
                               [](Frame& f) { f.Digits("0060"); },
                               {{34, 2, 62, 14}}},
                    ChangeCase{"ShipAndObstacleApart",
                               640,
                               480,
                               [](Frame& f) { f.Sprite(100, 100, 48, 46); },
                               [](Frame& f) {
                                 f.Sprite(102, 100, 48, 46);
                                 f.Block(500, 350, 57, 57, 251);
                               },
                               {{102, 100, 150, 146}, {500, 350, 557, 407}}},
                    ChangeCase{"FullChange",
                               640,
                               480,
                               kNothing,
                               [](Frame& f) {
                                 for (auto& index : f.indices)
                                   ++index;
                               },
                               {{0, 0, 640, 480}}}),
    [](const testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

TEST(ChangedRegionsBound, ScatteredChangesAreCoveredByAtMostTheMaximum) {
  const Frame previous(640, 480);
  Frame next = previous;
  std::vector<std::pair<int, int>> changed;
  for (int y = 10; y < 480; y += 90) {
    for (int x = 10; x < 640; x += 90) {
      next.At(x, y) = 255;
      changed.emplace_back(x, y);
    }
  }
  ASSERT_GT(changed.size(), static_cast<std::size_t>(kMaxRegions));
  const std::vector<Region> regions = Find(previous, next);
  EXPECT_EQ(regions.size(), static_cast<std::size_t>(kMaxRegions));
  for (const auto& [x, y] : changed) {
    EXPECT_TRUE(std::any_of(regions.begin(), regions.end(),
                            [&](const Region& r) { return r.Contains(x, y); }))
        << x << "," << y << " is not covered";
  }
}

// Random frame pairs of odd sizes in memory with padded rows: every changed pixel lies in
// exactly one region, no region overlaps another or leaves the frame, and every edge of
// every region holds a change (no region is larger than its changes make it).
TEST(ChangedRegionsProperty, RandomFramePairs) {
  std::mt19937 random(2024);
  const auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int trial = 0; trial < 3000; ++trial) {
    const int width = uniform(1, 97);
    const int height = uniform(1, 61);
    const int pitch = width + uniform(0, 9);
    std::vector<std::uint8_t> previous(static_cast<std::size_t>(pitch) * height);
    for (auto& index : previous)
      index = static_cast<std::uint8_t>(uniform(0, 3));
    std::vector<std::uint8_t> next = previous;
    const int changes = uniform(0, 12);
    for (int i = 0; i < changes; ++i) {
      const int left = uniform(0, width - 1);
      const int top = uniform(0, height - 1);
      const int right = std::min(width, left + uniform(1, i % 3 == 0 ? width : 4));
      const int bottom = std::min(height, top + uniform(1, i % 3 == 0 ? height : 4));
      for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
          if (uniform(0, 3) != 0)
            next[static_cast<std::size_t>(y) * pitch + x] =
                static_cast<std::uint8_t>(uniform(0, 7));
        }
      }
    }
    // Bytes past the width differ too; they are not part of the frame.
    for (int y = 0; y < height; ++y) {
      for (int x = width; x < pitch; ++x)
        next[static_cast<std::size_t>(y) * pitch + x] ^= 0x55;
    }
    std::vector<Region> regions;
    FindChangedRegions({previous.data(), pitch}, {next.data(), pitch}, width, height, regions);

    SCOPED_TRACE(testing::Message() << "trial " << trial << ": " << width << "x" << height);
    ASSERT_LE(regions.size(), static_cast<std::size_t>(kMaxRegions));
    const auto differs = [&](int x, int y) {
      const std::size_t at = static_cast<std::size_t>(y) * pitch + x;
      return previous[at] != next[at];
    };
    for (const Region& r : regions) {
      ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height &&
                  r.left < r.right && r.top < r.bottom);
      bool left = false, right = false, top = false, bottom = false;
      for (int y = r.top; y < r.bottom; ++y) {
        left = left || differs(r.left, y);
        right = right || differs(r.right - 1, y);
      }
      for (int x = r.left; x < r.right; ++x) {
        top = top || differs(x, r.top);
        bottom = bottom || differs(x, r.bottom - 1);
      }
      ASSERT_TRUE(left && right && top && bottom) << "a region larger than its changes";
    }
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const auto covering = std::count_if(regions.begin(), regions.end(),
                                            [&](const Region& r) { return r.Contains(x, y); });
        ASSERT_LE(covering, 1) << "overlapping regions at " << x << "," << y;
        if (differs(x, y)) {
          ASSERT_EQ(covering, 1) << "change not covered at " << x << "," << y;
        }
      }
    }
  }
}

// What the host last showed: the whole frame when there is nothing to compare with, the
// changes otherwise; it keeps the new frame itself.
class ShownFrameTest : public testing::Test {
 protected:
  ShownFrameTest() {
    for (int i = 0; i < 256; ++i)
      palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
  }
  PresentedFrame View(const Frame& frame) {
    return {frame.indices.data(), frame.width, frame.height, frame.width, palette.data()};
  }
  std::vector<Region> Show(const Frame& frame) { return Sorted(shown.Show(View(frame))); }

  std::vector<PALETTEENTRY> palette = std::vector<PALETTEENTRY>(256);
  ShownFrame shown;
  Frame frame{640, 480};
  const std::vector<Region> whole{{0, 0, 640, 480}};
};

TEST_F(ShownFrameTest, WholeFrameFirstThenOnlyTheChanges) {
  EXPECT_EQ(Show(frame), whole);
  EXPECT_EQ(Show(frame), std::vector<Region>{});
  frame.At(5, 6) = 250;
  EXPECT_EQ(Show(frame), (std::vector<Region>{{5, 6, 6, 7}}));
  frame.At(5, 6) = 249;
  frame.At(300, 400) = 1;
  EXPECT_EQ(Show(frame), (std::vector<Region>{{5, 6, 6, 7}, {300, 400, 301, 401}}));
  const PresentedFrame kept = shown.View();
  ASSERT_EQ(kept.width, 640);
  EXPECT_TRUE(std::equal(frame.indices.begin(), frame.indices.end(), kept.pixels));
}

TEST_F(ShownFrameTest, PaletteColourChangeShowsTheWholeFrame) {
  Show(frame);
  palette[17].peFlags = 0x04;
  EXPECT_EQ(Show(frame), std::vector<Region>{}) << "flags are not colours";
  palette[17].peGreen ^= 1;
  EXPECT_EQ(Show(frame), whole);
  EXPECT_EQ(shown.View().palette[17].peGreen, palette[17].peGreen);
}

TEST_F(ShownFrameTest, InvalidateAndANewSizeShowTheWholeFrame) {
  Show(frame);
  shown.Invalidate();
  EXPECT_EQ(Show(frame), whole);
  const Frame small(320, 200);
  EXPECT_EQ(Show(small), (std::vector<Region>{{0, 0, 320, 200}}));
  shown.Clear();
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(Show(small), (std::vector<Region>{{0, 0, 320, 200}}));
}

// Frames drawn by copies, each presented with its draw history (as the software display
// hands them over) or without one: the regions still cover every changed pixel, so the
// kept frame is always the frame shown.
TEST_F(ShownFrameTest, FramesWithDrawHistoriesAreComparedWhereTheirDrawingDiffers) {
  std::mt19937 random(99);
  const auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const Frame background(640, 480);
  const DrawCopy cover{0, 0, 640, 480, 1, 0, 0, 0, 0, 0};
  Frame previous(640, 480);
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(testing::Message() << "frame " << trial);
    Frame next = background;
    DrawHistory history;
    history.Record(cover, true);
    for (int i = uniform(0, 3); i > 0; --i) {
      // Sprites on a grid of a few places and looks, so that frames often repeat some.
      const int x = uniform(0, 3) * 150;
      const int y = uniform(0, 3) * 110;
      const int look = uniform(0, 2);
      next.Block(x, y, 40, 30, static_cast<std::uint8_t>(230 + look));
      history.Record({x, y, x + 40, y + 30, static_cast<std::uint64_t>(10 + look), 0, 0, 1, 0, 0},
                     false);
    }
    PresentedFrame view = View(next);
    const int kind = uniform(0, 9);
    if (kind == 0)
      history.Forget();
    if (kind != 1)
      view.history = &history;
    const std::vector<Region> regions = shown.Show(view);
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        if (previous.At(x, y) != next.At(x, y)) {
          ASSERT_TRUE(std::any_of(regions.begin(), regions.end(),
                                  [&](const Region& r) { return r.Contains(x, y); }))
              << "change not covered at " << x << "," << y;
        }
      }
    }
    ASSERT_TRUE(std::equal(next.indices.begin(), next.indices.end(), shown.View().pixels));
    previous = next;
  }
}

}  // namespace
}  // namespace orv::platform::changes
