#include "dinput/axis_scaling.h"

#include <algorithm>
#include <cmath>

namespace orv::platform::dinput {

LONG ScaleAxis(std::int32_t raw, const AxisSettings& settings) {
  // Position from -1 (one end) through 0 (centre) to +1 (other end).
  double position = raw < 0 ? raw / 32768.0 : raw / 32767.0;
  position = std::clamp(position, -1.0, 1.0);

  const double dead_zone = std::min<DWORD>(settings.dead_zone, 10000) / 10000.0;
  const double distance = std::fabs(position);
  position = distance <= dead_zone
                 ? 0.0
                 : std::copysign((distance - dead_zone) / (1.0 - dead_zone), position);

  // Halves round down, so the centre of the default range reads 32767 as on Windows.
  const double span = static_cast<double>(settings.max) - settings.min;
  const double offset = std::ceil((position + 1.0) / 2.0 * span - 0.5);
  return static_cast<LONG>(settings.min + static_cast<std::int64_t>(offset));
}

}  // namespace orv::platform::dinput
