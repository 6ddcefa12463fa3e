// Who a device is: the identities and descriptions DirectInput hands out for the
// system keyboard and the host's joysticks.
#pragma once

#include <cstdint>
#include <optional>

#include "core/host.h"
#include "win/dinput.h"

namespace orv::platform::dinput {

// A joystick's instance GUID carries the host's instance id, so the same attached device
// always has the same identity.
GUID JoystickInstanceGuid(std::uint32_t instance_id);
// The host instance id named by `guid`, if it is a joystick identity of ours.
std::optional<std::uint32_t> JoystickInstanceId(REFGUID guid);

void DescribeKeyboard(DIDEVICEINSTANCEA& instance);
void DescribeJoystick(const JoystickInfo& joystick, DIDEVICEINSTANCEA& instance);

}  // namespace orv::platform::dinput
