// How DirectInput turns a joystick axis's raw travel into the value the program reads.
#pragma once

#include <cstdint>

#include "win/dinput.h"

namespace orv::platform::dinput {

struct AxisSettings {
  LONG min = 0;  // DirectInput's default range
  LONG max = 65535;
  DWORD dead_zone = 0;  // 1/10,000 of the travel from the centre to either end
};

// `raw` is the host's travel, -32768..32767 with 0 at rest. Inside the dead zone the axis
// reads as the centre of its range; outside it the rest of the travel is stretched so that
// the value runs continuously from the centre to the ends.
LONG ScaleAxis(std::int32_t raw, const AxisSettings& settings);

}  // namespace orv::platform::dinput
