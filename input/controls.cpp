// One poll of the joystick and the keyboard, reduced to the controls held.
#include "input/controls.h"

#include "shared/game_globals.h"

namespace {

struct KeyControl {
  BYTE key;
  ControlFlags flag;
};

// Key positions, not characters: DIK_Y is the key in the place of Y on a US keyboard.
constexpr KeyControl kKeyControls[] = {
    {DIK_UP, CTRL_UP}, {DIK_DOWN, CTRL_DOWN}, {DIK_LEFT, CTRL_LEFT}, {DIK_RIGHT, CTRL_RIGHT},
    {DIK_A, CTRL_A},   {DIK_B, CTRL_B},       {DIK_C, CTRL_C},       {DIK_X, CTRL_X},
    {DIK_Y, CTRL_Y},   {DIK_Z, CTRL_Z},       {DIK_L, CTRL_L},       {DIK_R, CTRL_R},
    {DIK_M, CTRL_M},
};

// Buttons 0..9 give CTRL_A..CTRL_M in order.
constexpr int kJoystickButtons = 10;

ControlFlags JoystickControls(const DIJOYSTATE& state) {
  ControlFlags flags = 0;
  if (state.lY < 0)
    flags |= CTRL_UP;
  if (state.lY > 0)
    flags |= CTRL_DOWN;
  if (state.lX < 0)
    flags |= CTRL_LEFT;
  if (state.lX > 0)
    flags |= CTRL_RIGHT;
  for (int button = 0; button < kJoystickButtons; ++button) {
    if (state.rgbButtons[button] & 0x80)
      flags |= CTRL_A << button;
  }
  return flags;
}

ControlFlags KeyboardControls(const BYTE (&keys)[256]) {
  ControlFlags flags = 0;
  for (const KeyControl& control : kKeyControls) {
    if (keys[control.key] & 0x80)
      flags |= control.flag;
  }
  return flags;
}

}  // namespace

// A device whose input was lost is acquired again and read on the next call; one that is
// simply not acquired (its acquisition was refused before) is acquired again too. A read
// that fails contributes nothing held.
ControlFlags PollControls() {
  ControlFlags flags = 0;
  if (Game.InputObject == NULL)
    return flags;

  if (Game.JoystickReady == 1) {
    Game.JoystickDevice->Poll();
    DIJOYSTATE joystick;
    HRESULT result = Game.JoystickDevice->GetDeviceState(sizeof(DIJOYSTATE), &joystick);
    if (result == DIERR_INPUTLOST) {
      Game.JoystickDevice->Acquire();
      return flags;
    }
    if (SUCCEEDED(result))
      flags |= JoystickControls(joystick);
    else if (result == DIERR_NOTACQUIRED)
      Game.JoystickDevice->Acquire();
  }

  BYTE keys[256];
  HRESULT result = Game.KeyboardDevice->GetDeviceState(sizeof(keys), keys);
  if (result == DIERR_INPUTLOST) {
    Game.KeyboardDevice->Acquire();
    return flags;
  }
  if (SUCCEEDED(result))
    flags |= KeyboardControls(keys);
  else if (result == DIERR_NOTACQUIRED)
    Game.KeyboardDevice->Acquire();
  return flags;
}
