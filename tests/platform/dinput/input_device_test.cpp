#include <array>
#include <cstring>

#include "core/diagnostics.h"
#include "dinput_fixture.h"

namespace {

using KeyboardState = std::array<BYTE, 256>;

DIPROPRANGE RangeRecord(DWORD offset, LONG min, LONG max) {
  DIPROPRANGE range = {};
  range.diph = {sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET};
  range.lMin = min;
  range.lMax = max;
  return range;
}

DIPROPDWORD DeadZoneRecord(DWORD offset, DWORD value) {
  DIPROPDWORD dead_zone = {};
  dead_zone.diph = {sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET};
  dead_zone.dwData = value;
  return dead_zone;
}

TEST_F(DirectInputTest, KeyboardReportsHeldKeysByCode) {
  LPDIRECTINPUTDEVICE7 keyboard = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  host.PressKey(DIK_Y);
  host.PressKey(DIK_RIGHT);

  KeyboardState keys;
  keys.fill(0xAA);
  ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK);
  for (int key = 0; key < 256; ++key) {
    EXPECT_EQ(keys[key], key == DIK_Y || key == DIK_RIGHT ? 0x80 : 0) << key;
  }

  host.ReleaseKey(DIK_Y);
  ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK);
  EXPECT_EQ(keys[DIK_Y], 0);
  EXPECT_EQ(keys[DIK_RIGHT], 0x80);
}

TEST_F(DirectInputTest, ReadsNeedAnAcquiredDevice) {
  LPDIRECTINPUTDEVICE7 keyboard = Create(GUID_SysKeyboard);
  EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM) << "no data format yet";
  ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  ASSERT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);

  KeyboardState keys;
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK);
  EXPECT_EQ(keyboard->Unacquire(), DI_OK);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_NOTACQUIRED);
}

TEST_F(DirectInputTest, LeavingTheForegroundLosesInputOnceThenAcquireRestoresIt) {
  for (bool minimized : {false, true}) {
    SCOPED_TRACE(minimized ? "minimised" : "another window activated");
    LPDIRECTINPUTDEVICE7 keyboard = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
    LPDIRECTINPUTDEVICE7 background =
        Open(GUID_SysKeyboard, &c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    ASSERT_EQ(background->Acquire(), DI_OK);
    host.PressKey(DIK_A);

    SwitchAway(minimized);
    KeyboardState keys;
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(background->GetDeviceState(sizeof(keys), keys.data()), DI_OK)
        << "a background device keeps its input";

    SwitchBack();
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK);
    EXPECT_EQ(keys[DIK_A], 0x80);

    keyboard->Release();
    background->Release();
    host.ReleaseKey(DIK_A);
  }
}

TEST_F(DirectInputTest, AcquisitionLostBeforeAReadIsReportedByPollWithoutUsingItUp) {
  LPDIRECTINPUTDEVICE7 keyboard = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  SwitchAway(false);
  EXPECT_EQ(keyboard->Poll(), DIERR_INPUTLOST);
  KeyboardState keys;
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_INPUTLOST);
  EXPECT_EQ(keyboard->Poll(), DIERR_NOTACQUIRED);
}

TEST_F(DirectInputTest, CooperativeLevelChecksWindowAndFlags) {
  struct Case {
    const char* what;
    bool keyboard;
    HWND window;
    DWORD flags;
    HRESULT expected;
  };
  const HWND stranger = reinterpret_cast<HWND>(0x5A5A0);
  const Case cases[] = {
      {"shared foreground", true, window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DI_OK},
      {"exclusive foreground", false, window, DISCL_EXCLUSIVE | DISCL_FOREGROUND, DI_OK},
      {"shared background without a window", true, nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND,
       DI_OK},
      {"foreground without a window", true, nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND,
       E_HANDLE},
      {"not a window", true, stranger, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, E_HANDLE},
      {"no flags", true, window, 0, DIERR_INVALIDPARAM},
      {"shared and exclusive", true, window,
       DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
      {"foreground and background", true, window,
       DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND, DIERR_INVALIDPARAM},
      {"exclusive background keyboard", true, window, DISCL_EXCLUSIVE | DISCL_BACKGROUND,
       DIERR_UNSUPPORTED},
  };
  host.AttachJoystick("Pad");
  for (const Case& c : cases) {
    LPDIRECTINPUTDEVICE7 device = Create(c.keyboard ? GUID_SysKeyboard : JoystickGuid(0));
    EXPECT_EQ(device->SetCooperativeLevel(c.window, c.flags), c.expected) << c.what;
    device->Release();
  }
}

TEST_F(DirectInputTest, PropertyRecordsAreChecked) {
  host.AttachJoystick("Pad");
  LPDIRECTINPUTDEVICE7 joystick = Open(JoystickGuid(0), &c_dfDIJoystick);

  struct Case {
    const char* what;
    bool range;  // else the dead zone
    DWORD size;
    DWORD header_size;
    DWORD object;
    DWORD how;
    HRESULT expected;
  };
  const Case cases[] = {
      {"range", true, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), DIJOFS_Y, DIPH_BYOFFSET, DI_OK},
      {"dead zone", false, sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), DIJOFS_X, DIPH_BYOFFSET,
       DI_OK},
      {"range in a dead-zone record", true, sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), DIJOFS_X,
       DIPH_BYOFFSET, DIERR_INVALIDPARAM},
      {"dead zone in a range record", false, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), DIJOFS_X,
       DIPH_BYOFFSET, DIERR_INVALIDPARAM},
      {"no size", true, 0, sizeof(DIPROPHEADER), DIJOFS_X, DIPH_BYOFFSET, DIERR_INVALIDPARAM},
      {"wrong header size", true, sizeof(DIPROPRANGE), 12, DIJOFS_X, DIPH_BYOFFSET,
       DIERR_INVALIDPARAM},
      {"whole device", true, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), 0, DIPH_DEVICE, DI_OK},
      {"whole device with an object", true, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), DIJOFS_Y,
       DIPH_DEVICE, DIERR_INVALIDPARAM},
      {"offset of a button", true, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), DIJOFS_BUTTON0,
       DIPH_BYOFFSET, DIERR_OBJECTNOTFOUND},
      {"offset past the record", true, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), 80, DIPH_BYOFFSET,
       DIERR_OBJECTNOTFOUND},
      {"unknown addressing", true, sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), DIJOFS_X, 7,
       DIERR_INVALIDPARAM},
  };
  for (const Case& c : cases) {
    union {
      DIPROPRANGE range;
      DIPROPDWORD dead_zone;
    } record;
    if (c.range) {
      record.range = RangeRecord(c.object, -10, 10);
    } else {
      record.dead_zone = DeadZoneRecord(c.object, 1000);
    }
    record.range.diph = {c.size, c.header_size, c.object, c.how};
    EXPECT_EQ(joystick->SetProperty(c.range ? DIPROP_RANGE : DIPROP_DEADZONE, &record.range.diph),
              c.expected)
        << c.what;
  }

  DIPROPRANGE empty_range = RangeRecord(DIJOFS_X, 5, 5);
  EXPECT_EQ(joystick->SetProperty(DIPROP_RANGE, &empty_range.diph), DIERR_INVALIDPARAM);
  DIPROPDWORD too_wide = DeadZoneRecord(DIJOFS_X, 10001);
  EXPECT_EQ(joystick->SetProperty(DIPROP_DEADZONE, &too_wide.diph), DIERR_INVALIDPARAM);
  EXPECT_EQ(joystick->SetProperty(DIPROP_DEADZONE, nullptr), DIERR_INVALIDPARAM);
  DIPROPDWORD granularity = DeadZoneRecord(DIJOFS_X, 1);
  EXPECT_EQ(joystick->SetProperty(DIPROP_GRANULARITY, &granularity.diph), DIERR_UNSUPPORTED);
}

TEST_F(DirectInputTest, StateAndFormatRecordSizesAreChecked) {
  LPDIRECTINPUTDEVICE7 keyboard = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  BYTE keys[257];
  for (DWORD size : {0u, 80u, 255u, 257u}) {
    EXPECT_EQ(keyboard->GetDeviceState(size, keys), DIERR_INVALIDPARAM) << size;
  }
  EXPECT_EQ(keyboard->GetDeviceState(256, nullptr), DIERR_INVALIDPARAM);

  LPDIRECTINPUTDEVICE7 other = Create(GUID_SysKeyboard);
  DIDATAFORMAT format = c_dfDIKeyboard;
  format.dwSize = 24;
  EXPECT_EQ(other->SetDataFormat(&format), DIERR_INVALIDPARAM);
  format = c_dfDIKeyboard;
  format.dwObjSize = 16;
  EXPECT_EQ(other->SetDataFormat(&format), DIERR_INVALIDPARAM);
  format = c_dfDIKeyboard;
  format.dwDataSize = 254;
  EXPECT_EQ(other->SetDataFormat(&format), DIERR_INVALIDPARAM) << "not a multiple of four";
  format.dwDataSize = 128;
  EXPECT_EQ(other->SetDataFormat(&format), DIERR_INVALIDPARAM) << "keys past the data";
  DIOBJECTDATAFORMAT x_axis = {&GUID_XAxis, 0, DIDFT_AXIS | DIDFT_ANYINSTANCE, 0};
  const DIDATAFORMAT needs_an_axis = {
      sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, 4, 1, &x_axis};
  EXPECT_EQ(other->SetDataFormat(&needs_an_axis), DIERR_INVALIDPARAM) << "a keyboard has no axis";
  x_axis.dwType |= DIDFT_OPTIONAL;
  EXPECT_EQ(other->SetDataFormat(&needs_an_axis), DI_OK) << "unless the axis is optional";

  DIDEVICEINSTANCEA info = {};
  info.dwSize = sizeof(info) - 1;
  EXPECT_EQ(keyboard->GetDeviceInfo(&info), DIERR_INVALIDPARAM);
  info.dwSize = sizeof(info);
  EXPECT_EQ(keyboard->GetDeviceInfo(&info), DI_OK);
  EXPECT_TRUE(IsEqualGUID(info.guidInstance, GUID_SysKeyboard));
}

TEST_F(DirectInputTest, JoystickStateFollowsTheHostThroughRangeAndDeadZone) {
  const std::uint32_t pad = host.AttachJoystick("Pad", /*axes=*/4, /*buttons=*/12, /*hats=*/1);
  LPDIRECTINPUTDEVICE7 joystick = Open(JoystickGuid(0), &c_dfDIJoystick);
  ASSERT_EQ(joystick->Acquire(), DI_OK);

  DIJOYSTATE state;
  ASSERT_EQ(joystick->GetDeviceState(sizeof(state), &state), DI_OK);
  for (LONG axis : {state.lX, state.lY, state.lZ, state.lRx, state.lRy, state.lRz,
                    state.rglSlider[0], state.rglSlider[1]}) {
    EXPECT_EQ(axis, 32767) << "centred in the default range";
  }
  for (DWORD pov : state.rgdwPOV)
    EXPECT_EQ(pov, 0xFFFFFFFFu);

  for (DWORD offset : {DWORD(DIJOFS_X), DWORD(DIJOFS_Y)}) {
    DIPROPRANGE range = RangeRecord(offset, -1000, 1000);
    ASSERT_EQ(joystick->SetProperty(DIPROP_RANGE, &range.diph), DI_OK);
    DIPROPDWORD dead_zone = DeadZoneRecord(offset, 2500);
    ASSERT_EQ(joystick->SetProperty(DIPROP_DEADZONE, &dead_zone.diph), DI_OK);
  }
  host.SetJoystickAxis(pad, 0, -32768);  // stick full left
  host.SetJoystickAxis(pad, 1, 4000);    // slightly back, inside the dead zone
  host.SetJoystickAxis(pad, 2, 32767);   // Z
  host.SetJoystickAxis(pad, 3, -32768);  // Rx
  host.SetJoystickButton(pad, 0, true);
  host.SetJoystickButton(pad, 11, true);
  host.SetJoystickHat(pad, 0, 9000);

  std::memset(&state, 0x55, sizeof(state));
  ASSERT_EQ(joystick->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.lX, -1000);
  EXPECT_EQ(state.lY, 0);
  EXPECT_EQ(state.lZ, 65535) << "other axes keep the default range";
  EXPECT_EQ(state.lRx, 0);
  EXPECT_EQ(state.lRy, 32767) << "an axis the device lacks reads centred";
  EXPECT_EQ(state.rgdwPOV[0], 9000u);
  EXPECT_EQ(state.rgdwPOV[1], 0xFFFFFFFFu);
  for (int button = 0; button < 32; ++button) {
    EXPECT_EQ(state.rgbButtons[button], button == 0 || button == 11 ? 0x80 : 0) << button;
  }

  host.SetJoystickAxis(pad, 1, -32768);
  ASSERT_EQ(joystick->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.lY, -1000) << "forward reads below zero";
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state) - 4, &state), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, PropertiesReadBackPerAxis) {
  host.AttachJoystick("Pad");
  LPDIRECTINPUTDEVICE7 joystick = Open(JoystickGuid(0), &c_dfDIJoystick);
  DIPROPRANGE range = RangeRecord(DIJOFS_Y, 0, 0);
  ASSERT_EQ(joystick->GetProperty(DIPROP_RANGE, &range.diph), DI_OK);
  EXPECT_EQ(range.lMin, 0);
  EXPECT_EQ(range.lMax, 65535);

  DIPROPRANGE whole = RangeRecord(0, -5, 5);
  whole.diph.dwHow = DIPH_DEVICE;
  ASSERT_EQ(joystick->SetProperty(DIPROP_RANGE, &whole.diph), DI_OK);
  DIPROPDWORD dead_zone = DeadZoneRecord(DIJOFS_X, 700);
  ASSERT_EQ(joystick->SetProperty(DIPROP_DEADZONE, &dead_zone.diph), DI_OK);

  ASSERT_EQ(joystick->GetProperty(DIPROP_RANGE, &range.diph), DI_OK);
  EXPECT_EQ(range.lMin, -5);
  EXPECT_EQ(range.lMax, 5);
  DIPROPDWORD read = DeadZoneRecord(DIJOFS_X, 0);
  ASSERT_EQ(joystick->GetProperty(DIPROP_DEADZONE, &read.diph), DI_OK);
  EXPECT_EQ(read.dwData, 700u);
  read = DeadZoneRecord(DIJOFS_Y, 0);
  ASSERT_EQ(joystick->GetProperty(DIPROP_DEADZONE, &read.diph), DI_OK);
  EXPECT_EQ(read.dwData, 0u);
}

TEST_F(DirectInputTest, UnpluggedJoystickReportsLostInputOnceThenStaysUnacquired) {
  const std::uint32_t pad = host.AttachJoystick("Pad");
  LPDIRECTINPUTDEVICE7 joystick = Open(JoystickGuid(0), &c_dfDIJoystick);
  ASSERT_EQ(joystick->Acquire(), DI_OK);
  host.DetachJoystick(pad);

  DIJOYSTATE state;
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state), &state), DIERR_INPUTLOST);
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
  EXPECT_EQ(joystick->Acquire(), DIERR_UNPLUGGED);
  EXPECT_EQ(joystick->Poll(), DIERR_NOTACQUIRED);
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
}

TEST_F(DirectInputTest, DevicesHoldTheirInputObjectAndAnswerErrorsOnceReleased) {
  LPDIRECTINPUTDEVICE7 keyboard = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(host.diagnostics().live_objects(), 2);

  EXPECT_EQ(input->Release(), 1u) << "the keyboard still holds it";
  EXPECT_EQ(host.diagnostics().live_objects(), 2);
  KeyboardState keys;
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK);

  EXPECT_EQ(keyboard->Release(), 0u);
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_NOTINITIALIZED);
  EXPECT_EQ(keyboard->Acquire(), DIERR_NOTINITIALIZED);
  EXPECT_EQ(keyboard->Release(), 0u);
}

TEST_F(DirectInputTest, CallsAreJournalledAndFaultsInjected) {
  LPDIRECTINPUTDEVICE7 keyboard = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  auto& diagnostics = host.diagnostics();
  diagnostics.SetJournalEnabled(true);
  diagnostics.InjectFault("IDirectInputDevice7A::GetDeviceState", DIERR_INPUTLOST, 1, 1);

  KeyboardState keys;
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DIERR_INPUTLOST);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys.data()), DI_OK)
      << "an injected loss leaves the device acquired";

  ASSERT_EQ(diagnostics.journal().size(), 3u);
  EXPECT_EQ(diagnostics.journal()[0].operation, "IDirectInputDevice7A::GetDeviceState");
  EXPECT_TRUE(diagnostics.journal()[0].arguments.ends_with(", 256"))
      << diagnostics.journal()[0].arguments;
}

}  // namespace
