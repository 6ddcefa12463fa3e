// Opening and closing the keyboard and the first joystick that opens.
#include "input/input_devices.h"

#include "shared/game_globals.h"

namespace {

// Joystick axes read -1000..+1000; a stick less than a quarter of the way out reads 0.
constexpr LONG kAxisMin = -1000;
constexpr LONG kAxisMax = 1000;
constexpr DWORD kAxisDeadZone = 2500;
constexpr DWORD kCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

// Data format, cooperative level, and the range and dead zone of X and Y.
bool ConfigureJoystick(HWND window) {
  LPDIRECTINPUTDEVICE7 joystick = Game.JoystickDevice;
  if (FAILED(joystick->SetDataFormat(&c_dfDIJoystick)))
    return false;
  if (FAILED(joystick->SetCooperativeLevel(window, kCooperation)))
    return false;

  DIPROPRANGE range;
  range.diph.dwSize = sizeof(DIPROPRANGE);
  range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  range.diph.dwObj = DIJOFS_X;
  range.diph.dwHow = DIPH_BYOFFSET;
  range.lMin = kAxisMin;
  range.lMax = kAxisMax;
  if (FAILED(joystick->SetProperty(DIPROP_RANGE, &range.diph)))
    return false;
  range.diph.dwObj = DIJOFS_Y;
  if (FAILED(joystick->SetProperty(DIPROP_RANGE, &range.diph)))
    return false;

  DIPROPDWORD dead_zone;
  dead_zone.diph.dwSize = sizeof(DIPROPDWORD);
  dead_zone.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  dead_zone.diph.dwObj = DIJOFS_X;
  dead_zone.diph.dwHow = DIPH_BYOFFSET;
  dead_zone.dwData = kAxisDeadZone;
  if (FAILED(joystick->SetProperty(DIPROP_DEADZONE, &dead_zone.diph)))
    return false;
  dead_zone.diph.dwObj = DIJOFS_Y;
  if (FAILED(joystick->SetProperty(DIPROP_DEADZONE, &dead_zone.diph)))
    return false;

  Game.JoystickReady = 1;
  return true;
}

void ReleaseDevice(LPDIRECTINPUTDEVICE7& device) {
  if (device != NULL) {
    device->Release();
    device = NULL;
  }
}

}  // namespace

BOOL CALLBACK JoystickFoundCallback(LPCDIDEVICEINSTANCEA device, LPVOID) {
  HRESULT result =
      Game.InputObject->CreateDeviceEx(device->guidInstance, IID_IDirectInputDevice7A,
                                       reinterpret_cast<LPVOID*>(&Game.JoystickDevice), NULL);
  return FAILED(result) ? DIENUM_CONTINUE : DIENUM_STOP;
}

BOOL SetupInput(HINSTANCE instance, HWND window) {
  if (FAILED(DirectInputCreateEx(instance, DIRECTINPUT_VERSION, IID_IDirectInput7A,
                                 reinterpret_cast<LPVOID*>(&Game.InputObject), NULL)))
    return FALSE;

  // Its own result does not matter: what counts is whether a joystick was opened.
  Game.InputObject->EnumDevices(DIDEVTYPE_JOYSTICK, JoystickFoundCallback, NULL,
                                DIEDFL_ATTACHEDONLY);
  // The joystick is optional: one that refuses a setting is given up, and the keyboard,
  // which is enough to play, is opened all the same.
  if (Game.JoystickDevice != NULL && !ConfigureJoystick(window)) {
    OutputDebugStringA("Joystick setup NO, keyboard only\n");
    ReleaseDevice(Game.JoystickDevice);
  }

  if (FAILED(Game.InputObject->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A,
                                              reinterpret_cast<LPVOID*>(&Game.KeyboardDevice),
                                              NULL))) {
    OutputDebugStringA("CreateDeviceEx NO\n");
    return FALSE;
  }
  if (FAILED(Game.KeyboardDevice->SetDataFormat(&c_dfDIKeyboard))) {
    OutputDebugStringA("SetDateFormat NO\n");
    return FALSE;
  }
  if (FAILED(Game.KeyboardDevice->SetCooperativeLevel(window, kCooperation))) {
    OutputDebugStringA("SetCooperativeLevel NO\n");
    return FALSE;
  }

  // A refused acquisition is retried by PollControls.
  if (Game.JoystickReady == 1)
    Game.JoystickDevice->Acquire();
  Game.KeyboardDevice->Acquire();
  return TRUE;
}

BOOL ReleaseInput() {
  ReleaseDevice(Game.JoystickDevice);
  ReleaseDevice(Game.KeyboardDevice);
  if (Game.InputObject != NULL) {
    Game.InputObject->Release();
    Game.InputObject = NULL;
  }
  return TRUE;
}
