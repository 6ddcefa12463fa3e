#include "dinput/axis_scaling.h"

#include <gtest/gtest.h>

namespace orv::platform::dinput {
namespace {

struct AxisCase {
  const char* what;
  AxisSettings settings;
  std::int32_t raw;
  LONG expected;
};

constexpr AxisSettings kDefault{};
constexpr AxisSettings kGameAxis{-1000, 1000, 2500};
constexpr AxisSettings kNoDeadZone{-1000, 1000, 0};
constexpr AxisSettings kAllDeadZone{-1000, 1000, 10000};
constexpr AxisSettings kUpward{0, 100, 5000};

TEST(ScaleAxisTest, MapsTravelThroughRangeAndDeadZone) {
  const AxisCase cases[] = {
      {"default range, centre", kDefault, 0, 32767},
      {"default range, one end", kDefault, -32768, 0},
      {"default range, other end", kDefault, 32767, 65535},
      {"no dead zone, half way", kNoDeadZone, 16384, 500},
      {"no dead zone, half way back", kNoDeadZone, -16384, -500},
      {"centre", kGameAxis, 0, 0},
      {"inside the dead zone", kGameAxis, 4000, 0},
      {"inside the dead zone, other side", kGameAxis, -8000, 0},
      {"at the dead zone", kGameAxis, -8192, 0},
      {"just past the dead zone", kGameAxis, 8300, 4},
      {"half way, stretched", kGameAxis, 16384, 333},
      {"half way back, stretched", kGameAxis, -16384, -333},
      {"three quarters", kGameAxis, 24575, 667},
      {"one end", kGameAxis, -32768, -1000},
      {"other end", kGameAxis, 32767, 1000},
      {"all dead zone, end", kAllDeadZone, 32767, 0},
      {"range not around zero, centre", kUpward, 0, 50},
      {"range not around zero, end", kUpward, 32767, 100},
      {"range not around zero, past the dead zone", kUpward, -24576, 25},
  };
  for (const AxisCase& c : cases) {
    EXPECT_EQ(ScaleAxis(c.raw, c.settings), c.expected) << c.what;
  }
}

TEST(ScaleAxisTest, RunsContinuouslyAndMonotonicallyOutsideTheDeadZone) {
  LONG previous = ScaleAxis(-32768, kGameAxis);
  for (std::int32_t raw = -32768; raw <= 32767; raw += 7) {
    const LONG value = ScaleAxis(raw, kGameAxis);
    EXPECT_GE(value, previous) << raw;
    EXPECT_LE(value - previous, 1) << raw;
    previous = value;
  }
}

}  // namespace
}  // namespace orv::platform::dinput
