#include "hosts/sdl/frame_placement.h"

#include <gtest/gtest.h>

namespace orv::platform::sdl {
namespace {

struct PlacementCase {
  int window_width;
  int window_height;
  int scale;
  int x;
  int y;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
  *out << c.window_width << "x" << c.window_height;
}

class FitFrameTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(FitFrameTest, LargestWholeScaleCentred) {
  const PlacementCase& c = GetParam();
  const FramePlacement placement = FitFrame(c.window_width, c.window_height, 640, 480);
  EXPECT_EQ(placement.scale, c.scale);
  EXPECT_EQ(placement.x, c.x);
  EXPECT_EQ(placement.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FitFrameTest,
    testing::Values(PlacementCase{640, 480, 1, 0, 0},        // the mode itself
                    PlacementCase{800, 600, 1, 80, 60},      //
                    PlacementCase{1279, 960, 1, 319, 240},   // one pixel short of twice
                    PlacementCase{1280, 960, 2, 0, 0},       //
                    PlacementCase{1600, 1200, 2, 160, 120},  //
                    PlacementCase{1920, 1080, 2, 320, 60},   // height limits
                    PlacementCase{2560, 1440, 3, 320, 0},    //
                    PlacementCase{3840, 2160, 4, 640, 120},  //
                    PlacementCase{1280, 480, 1, 320, 0},     // width alone is not enough
                    PlacementCase{639, 480, 1, 0, 0},        // overhang loses the last column
                    PlacementCase{600, 400, 1, -20, -40}));  // never smaller than 1:1

TEST(FitFrame, EmptyFrameGetsNeutralPlacement) {
  const FramePlacement placement = FitFrame(1024, 768, 0, 0);
  EXPECT_EQ(placement.scale, 1);
  EXPECT_EQ(placement.x, 0);
  EXPECT_EQ(placement.y, 0);
}

struct WindowScaleCase {
  int available_width;
  int available_height;
  int scale;
};

void PrintTo(const WindowScaleCase& c, std::ostream* out) {
  *out << c.available_width << "x" << c.available_height;
}

class WindowScaleTest : public testing::TestWithParam<WindowScaleCase> {};

TEST_P(WindowScaleTest, TwiceTheFrameWhereTheDesktopHasRoom) {
  const WindowScaleCase& c = GetParam();
  EXPECT_EQ(WindowScale(c.available_width, c.available_height, 640, 480, 2), c.scale);
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowScaleTest,
                         testing::Values(WindowScaleCase{3840, 2100, 2},  // never above the limit
                                         WindowScaleCase{1600, 1170, 2},  //
                                         WindowScaleCase{1280, 960, 2},   // exactly twice
                                         WindowScaleCase{1279, 1170, 1},  // a column short
                                         WindowScaleCase{1920, 1040, 2},  //
                                         WindowScaleCase{1366, 740, 1},   // height limits
                                         WindowScaleCase{600, 400, 1}));  // at least 1:1

TEST(WindowScale, LimitBelowOneAndEmptyFrameGiveOne) {
  EXPECT_EQ(WindowScale(1600, 1200, 640, 480, 0), 1);
  EXPECT_EQ(WindowScale(1600, 1200, 0, 480, 2), 1);
}

}  // namespace
}  // namespace orv::platform::sdl
