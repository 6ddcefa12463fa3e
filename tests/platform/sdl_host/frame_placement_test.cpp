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

}  // namespace
}  // namespace orv::platform::sdl
