// The keyboard (required) and the first joystick that opens (optional).
#pragma once

#include "platform.h"

BOOL SetupInput(HINSTANCE instance, HWND window);
BOOL CALLBACK JoystickFoundCallback(LPCDIDEVICEINSTANCEA device, LPVOID context);
BOOL ReleaseInput();
