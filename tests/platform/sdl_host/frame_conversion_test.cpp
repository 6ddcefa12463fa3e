#include "hosts/sdl/frame_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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

}  // namespace
}  // namespace orv::platform::sdl
