// The keyboard and joysticks as SDL reports them, in the host's terms: key positions as
// DirectInput key codes, joysticks by SDL's instance id with their raw axes, buttons and hats.
#pragma once

#include <SDL_scancode.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/host.h"

namespace orv::platform::sdl {

// The DirectInput key code of the key at `scancode`'s position on the keyboard (whatever
// the layout prints on it), or 0 for a key DirectInput has no code for.
std::uint8_t DikFromScancode(SDL_Scancode scancode);

// 0x80 for every key held, indexed by DirectInput key code, as of SDL's last look at the
// window system's events (SDL_PumpEvents).
void ReadKeyboardState(std::array<std::uint8_t, 256>& keys);

// The attached joysticks, in SDL's device order. Initialises SDL's joystick subsystem on
// first use.
std::vector<JoystickInfo> ListJoysticks();

// The joystick's present state; false when it is no longer attached.
bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading);

}  // namespace orv::platform::sdl
