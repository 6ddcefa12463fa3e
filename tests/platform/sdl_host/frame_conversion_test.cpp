#include "hosts/sdl/frame_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "hosts/changes/changed_regions.h"

namespace orv::platform::sdl {
namespace {

TEST(MakePaletteLut, PlacesChannelsByLayout) {
  std::vector<PALETTEENTRY> palette(256);
  for (int i = 0; i < 256; ++i) {
    palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2),
                  0xEE};  // peFlags never reaches the picture
  }
  const PaletteLut xrgb = MakePaletteLut(palette.data(), {16, 8, 0, 0});
  const PaletteLut abgr = MakePaletteLut(palette.data(), {0, 8, 16, 0xFF000000u});
  EXPECT_EQ(xrgb[0], 0x0000FF00u);
  EXPECT_EQ(xrgb[200], 0x00C83764u);
  EXPECT_EQ(abgr[200], 0xFF6437C8u);
  EXPECT_EQ(abgr[255], 0xFF7F00FFu);
}

// A small frame whose rows carry padding filled with an index that must never show.
constexpr int kFrameWidth = 5;
constexpr int kFrameHeight = 3;
constexpr int kFramePitch = 8;
constexpr std::uint8_t kPaddingIndex = 99;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kUntouched = 0xDEADBEEFu;

struct Fixture {
  std::vector<std::uint8_t> indices;
  PaletteLut lut{};
  PresentedFrame frame;

  Fixture() : indices(kFramePitch * kFrameHeight, kPaddingIndex) {
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x)
        indices[y * kFramePitch + x] = y * kFrameWidth + x;
    }
    for (int i = 0; i < 256; ++i)
      lut[i] = 0x00100000u * (i + 1) + 0x55;
    frame.pixels = indices.data();
    frame.width = kFrameWidth;
    frame.height = kFrameHeight;
    frame.pitch = kFramePitch;
  }

  // What the target must hold at (x, y): the definition of a scaled, centred copy.
  std::uint32_t Expected(const FramePlacement& p, int x, int y) const {
    const int fx = x - p.x;
    const int fy = y - p.y;
    if (fx < 0 || fy < 0 || fx >= kFrameWidth * p.scale || fy >= kFrameHeight * p.scale) {
      return kBlack;
    }
    return lut[indices[fy / p.scale * kFramePitch + fx / p.scale]];
  }
};

struct ConversionCase {
  const char* name;
  int target_width;
  int target_height;
  FramePlacement placement;
};

void PrintTo(const ConversionCase& c, std::ostream* out) {
  *out << c.name;
}

class DrawFrameTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(DrawFrameTest, MatchesScaledCopyAndLeavesRowPaddingAlone) {
  const ConversionCase& c = GetParam();
  Fixture fixture;
  const int pitch_pixels = c.target_width + 3;
  std::vector<std::uint32_t> target(pitch_pixels * c.target_height, kUntouched);
  DrawFrame(fixture.frame, fixture.lut, c.placement, kBlack,
            {target.data(), c.target_width, c.target_height,
             static_cast<int>(pitch_pixels * sizeof(std::uint32_t))});

  for (int y = 0; y < c.target_height; ++y) {
    for (int x = 0; x < pitch_pixels; ++x) {
      const std::uint32_t want =
          x < c.target_width ? fixture.Expected(c.placement, x, y) : kUntouched;
      ASSERT_EQ(target[y * pitch_pixels + x], want) << "at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Placements, DrawFrameTest,
    testing::Values(ConversionCase{"Exact", 5, 3, {1, 0, 0}},
                    ConversionCase{"CentredOneToOne", 9, 6, {1, 2, 1}},
                    ConversionCase{"Doubled", 14, 8, {2, 2, 1}},
                    ConversionCase{"Tripled", 17, 11, {3, 1, 1}},
                    ConversionCase{"OverhangLeftTopOddScale", 8, 6, {3, -4, -2}},
                    ConversionCase{"OverhangRightBottom", 6, 4, {2, 1, 1}},
                    ConversionCase{"OverhangAllSides", 3, 2, {1, -1, 0}},
                    ConversionCase{"EntirelyOutside", 4, 4, {1, 6, 6}}),
    [](const testing::TestParamInfo<ConversionCase>& info) { return info.param.name; });

TEST(DrawFrame, EmptyFrameClearsTheTargetToBlack) {
  std::vector<std::uint32_t> target(12, kUntouched);
  DrawFrame(PresentedFrame{}, PaletteLut{}, FramePlacement{}, kBlack, {target.data(), 4, 3, 16});
  for (std::uint32_t pixel : target)
    EXPECT_EQ(pixel, kBlack);
}

// Presenting only the changed regions of a frame onto the picture of the one before must
// give exactly the picture of presenting the new frame whole: same pixels, the surround
// and the row padding untouched. Random frame pairs, scales 1 to 4, odd target sizes,
// frames centred, overhanging or placed at random.
class RegionPresentation : public testing::Test {
 protected:
  struct Picture {
    int width;
    int height;
    int pitch_pixels;
    std::vector<std::uint32_t> pixels;
    Picture(int w, int h)
        : width(w), height(h), pitch_pixels(w + 1), pixels(std::size_t(w + 1) * h, kUntouched) {}
    TargetPicture Target() {
      return {pixels.data(), width, height, static_cast<int>(pitch_pixels * sizeof(std::uint32_t))};
    }
  };

  // Draws `previous` whole, then only the regions where `next` differs, and compares with
  // `next` drawn whole.
  void Check(const std::vector<std::uint8_t>& previous, const std::vector<std::uint8_t>& next,
             int width, int height, int target_width, int target_height,
             const FramePlacement& placement) {
    const PresentedFrame before{previous.data(), width, height, width, nullptr};
    const PresentedFrame after{next.data(), width, height, width, nullptr};
    Picture by_regions(target_width, target_height);
    DrawFrame(before, lut, placement, kBlack, by_regions.Target());
    std::vector<changes::Region> regions;
    changes::FindChangedRegions({previous.data(), width}, {next.data(), width}, width, height,
                                regions);
    for (const changes::Region& region : regions) {
      const TargetArea area = DrawFrameRegion(after, lut, placement, region, by_regions.Target());
      ASSERT_GE(area.x, 0);
      ASSERT_GE(area.y, 0);
      ASSERT_LE(area.x + area.width, target_width);
      ASSERT_LE(area.y + area.height, target_height);
    }
    Picture whole(target_width, target_height);
    DrawFrame(after, lut, placement, kBlack, whole.Target());
    ASSERT_EQ(by_regions.pixels, whole.pixels)
        << width << "x" << height << " on " << target_width << "x" << target_height << " at scale "
        << placement.scale << ", " << placement.x << "," << placement.y;
  }

  std::mt19937 random{77};
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  // Changes a few rectangles of `frame` at random.
  void Scribble(std::vector<std::uint8_t>& frame, int width, int height) {
    const int count = Uniform(0, 6);
    for (int i = 0; i < count; ++i) {
      const int left = Uniform(0, width - 1);
      const int top = Uniform(0, height - 1);
      const int right = std::min(width, left + Uniform(1, std::max(1, width / 3)));
      const int bottom = std::min(height, top + Uniform(1, std::max(1, height / 3)));
      for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
          frame[std::size_t(y) * width + x] = static_cast<std::uint8_t>(Uniform(0, 255));
      }
    }
  }

  PaletteLut lut = [] {
    PaletteLut table{};
    for (int i = 0; i < 256; ++i)
      table[i] = 0x00010203u * static_cast<std::uint32_t>(i) + 0x11;
    return table;
  }();
};

TEST_F(RegionPresentation, RandomSmallFramesAtRandomPlacements) {
  for (int trial = 0; trial < 2000; ++trial) {
    const int width = Uniform(1, 40);
    const int height = Uniform(1, 30);
    const int scale = Uniform(1, 4);
    const int target_width = Uniform(1, 90) | 1;
    const int target_height = Uniform(1, 70) | 1;
    // Centred as a window shows it half the time, anywhere (even outside) otherwise.
    FramePlacement placement = FitFrame(target_width, target_height, width, height);
    if (trial % 2 == 1) {
      placement = {scale, Uniform(-width * scale, target_width),
                   Uniform(-height * scale, target_height)};
    }
    std::vector<std::uint8_t> previous(std::size_t(width) * height);
    for (auto& index : previous)
      index = static_cast<std::uint8_t>(Uniform(0, 255));
    std::vector<std::uint8_t> next = previous;
    Scribble(next, width, height);
    Check(previous, next, width, height, target_width, target_height, placement);
    if (HasFatalFailure())
      return;
  }
}

TEST_F(RegionPresentation, FullFramesInOddWindowsAtEachScale) {
  constexpr int kWidth = 640;
  constexpr int kHeight = 480;
  std::vector<std::uint8_t> previous(kWidth * kHeight);
  for (int i = 0; i < kWidth * kHeight; ++i)
    previous[i] = static_cast<std::uint8_t>(i * 7 + i / kWidth);
  // Odd windows: one pixel short of the frame, then a little over each whole scale.
  const int windows[][2] = {{639, 479}, {641, 481}, {1283, 965}, {1925, 1443}, {2567, 1927}};
  for (const auto& window : windows) {
    for (int round = 0; round < 3; ++round) {
      std::vector<std::uint8_t> next = previous;
      Scribble(next, kWidth, kHeight);
      Check(previous, next, kWidth, kHeight, window[0], window[1],
            FitFrame(window[0], window[1], kWidth, kHeight));
      if (HasFatalFailure())
        return;
      previous = next;
    }
  }
}

}  // namespace
}  // namespace orv::platform::sdl
