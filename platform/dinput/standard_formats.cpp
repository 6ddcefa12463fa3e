// The two standard data formats: the keyboard's 256 key bytes and the joystick's DIJOYSTATE.
#include <array>

#include "win/dinput.h"

namespace {

constexpr DWORD kOptionalKey = DIDFT_OPTIONAL | DIDFT_BUTTON;
constexpr DWORD kOptionalAxis = DIDFT_OPTIONAL | DIDFT_AXIS | DIDFT_ANYINSTANCE;
constexpr DWORD kOptionalPov = DIDFT_OPTIONAL | DIDFT_POV | DIDFT_ANYINSTANCE;
constexpr DWORD kOptionalButton = DIDFT_OPTIONAL | DIDFT_BUTTON | DIDFT_ANYINSTANCE;

constexpr std::array<DIOBJECTDATAFORMAT, 256> KeyboardObjects() {
  std::array<DIOBJECTDATAFORMAT, 256> objects{};
  for (DWORD key = 0; key < objects.size(); ++key) {
    objects[key] = {&GUID_Key, key, kOptionalKey | DIDFT_MAKEINSTANCE(key), 0};
  }
  return objects;
}

constexpr std::array<DIOBJECTDATAFORMAT, 44> JoystickObjects() {
  std::array<DIOBJECTDATAFORMAT, 44> objects{{
      {&GUID_XAxis, DIJOFS_X, kOptionalAxis, 0},
      {&GUID_YAxis, DIJOFS_Y, kOptionalAxis, 0},
      {&GUID_ZAxis, DIJOFS_Z, kOptionalAxis, 0},
      {&GUID_RxAxis, DIJOFS_RX, kOptionalAxis, 0},
      {&GUID_RyAxis, DIJOFS_RY, kOptionalAxis, 0},
      {&GUID_RzAxis, DIJOFS_RZ, kOptionalAxis, 0},
      {&GUID_Slider, DIJOFS_SLIDER(0), kOptionalAxis, 0},
      {&GUID_Slider, DIJOFS_SLIDER(1), kOptionalAxis, 0},
      {&GUID_POV, DIJOFS_POV(0), kOptionalPov, 0},
      {&GUID_POV, DIJOFS_POV(1), kOptionalPov, 0},
      {&GUID_POV, DIJOFS_POV(2), kOptionalPov, 0},
      {&GUID_POV, DIJOFS_POV(3), kOptionalPov, 0},
  }};
  for (DWORD button = 0; button < 32; ++button) {
    objects[12 + button] = {nullptr, DWORD(DIJOFS_BUTTON(button)), kOptionalButton, 0};
  }
  return objects;
}

constinit std::array<DIOBJECTDATAFORMAT, 256> keyboard_objects = KeyboardObjects();
constinit std::array<DIOBJECTDATAFORMAT, 44> joystick_objects = JoystickObjects();

}  // namespace

const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT),   sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
    keyboard_objects.data()};
const DIDATAFORMAT c_dfDIJoystick = {
    sizeof(DIDATAFORMAT),   sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, sizeof(DIJOYSTATE), 44,
    joystick_objects.data()};
