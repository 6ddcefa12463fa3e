// One poll of the joystick and the keyboard, reduced to the controls held.
#pragma once

#include "shared/control_flags.h"

ControlFlags PollControls();
