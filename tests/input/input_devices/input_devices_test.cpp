#include "input/input_devices.h"

#include <string>
#include <vector>

#include "input_fixture.h"

namespace {

using Calls = std::vector<std::string>;

std::string DeviceName(LPDIRECTINPUTDEVICE7 device) {
  DIDEVICEINSTANCEA info = {};
  info.dwSize = sizeof(info);
  if (device->GetDeviceInfo(&info) != DI_OK)
    return "?";
  return info.tszInstanceName;
}

class InputDevicesTest : public InputTest {};

TEST_F(InputDevicesTest, WithoutAJoystickTheKeyboardAloneIsOpenedAndAcquired) {
  EXPECT_EQ(SetupInput(instance, window), TRUE);
  NameInputObjects();
  EXPECT_NE(Game.InputObject, nullptr);
  EXPECT_NE(Game.KeyboardDevice, nullptr);
  EXPECT_EQ(Game.JoystickDevice, nullptr);
  EXPECT_EQ(Game.JoystickReady, 0);
  EXPECT_TRUE(host.debug_lines().empty());
  EXPECT_EQ(InputCalls(), (Calls{"DirectInputCreateEx 1792, {9A4CB684-236D-11D3-8E9D-00C04F6844AE}",
                                 "EnumDevices input, 4, 1",
                                 "CreateDeviceEx input, {6F1D2B61-D5A0-11CF-BFC7-444553540000}",
                                 "SetDataFormat keyboard, 256",
                                 "SetCooperativeLevel keyboard, window, 6", "Acquire keyboard"}));
  BYTE keys[256];
  EXPECT_EQ(Game.KeyboardDevice->GetDeviceState(sizeof(keys), keys), DI_OK) << "acquired";
}

TEST_F(InputDevicesTest, TheFirstJoystickThatOpensIsConfiguredAndAcquired) {
  struct Case {
    const char* what;
    int refused_opens;  // joysticks that refuse to open, first first
    const char* expected;
  };
  for (const Case& c :
       {Case{"both open", 0, "First pad"}, Case{"the first refuses", 1, "Second pad"}}) {
    SCOPED_TRACE(c.what);
    StartOver();
    host.AttachJoystick("First pad");
    host.AttachJoystick("Second pad");
    if (c.refused_opens > 0) {
      diagnostics().InjectFault("IDirectInput7A::CreateDeviceEx", DIERR_DEVICENOTREG,
                                c.refused_opens);
    }

    ASSERT_EQ(SetupInput(instance, window), TRUE);
    ASSERT_NE(Game.JoystickDevice, nullptr);
    EXPECT_EQ(DeviceName(Game.JoystickDevice), c.expected);
    EXPECT_EQ(Game.JoystickReady, 1);
    EXPECT_EQ(CountCalls("IDirectInput7A::CreateDeviceEx"), c.refused_opens + 2)
        << "one joystick opened, then the keyboard";

    DIPROPRANGE range = {};
    range.diph = {sizeof(range), sizeof(DIPROPHEADER), DWORD(DIJOFS_Y), DIPH_BYOFFSET};
    ASSERT_EQ(Game.JoystickDevice->GetProperty(DIPROP_RANGE, &range.diph), DI_OK);
    EXPECT_EQ(range.lMin, -1000);
    EXPECT_EQ(range.lMax, 1000);
    DIPROPDWORD dead_zone = {};
    dead_zone.diph = {sizeof(dead_zone), sizeof(DIPROPHEADER), DWORD(DIJOFS_X), DIPH_BYOFFSET};
    ASSERT_EQ(Game.JoystickDevice->GetProperty(DIPROP_DEADZONE, &dead_zone.diph), DI_OK);
    EXPECT_EQ(dead_zone.dwData, 2500u);
    DIJOYSTATE state;
    EXPECT_EQ(Game.JoystickDevice->GetDeviceState(sizeof(state), &state), DI_OK) << "acquired";
  }
}

TEST_F(InputDevicesTest, AJoystickRefusingAConfigurationStepIsGivenUpForTheKeyboard) {
  struct Case {
    const char* what;
    const char* operation;
    int skip;
  };
  const Case cases[] = {
      {"data format", "IDirectInputDevice7A::SetDataFormat", 0},
      {"cooperative level", "IDirectInputDevice7A::SetCooperativeLevel", 0},
      {"X range", "IDirectInputDevice7A::SetProperty", 0},
      {"Y range", "IDirectInputDevice7A::SetProperty", 1},
      {"X dead zone", "IDirectInputDevice7A::SetProperty", 2},
      {"Y dead zone", "IDirectInputDevice7A::SetProperty", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartOver();
    host.AttachJoystick("Pad");
    const int objects_before = diagnostics().live_objects();
    diagnostics().InjectFault(c.operation, DIERR_INVALIDPARAM, 1, c.skip);

    EXPECT_EQ(SetupInput(instance, window), TRUE);
    EXPECT_EQ(host.debug_lines(), std::vector<std::string>{"Joystick setup NO, keyboard only\n"});
    EXPECT_EQ(Game.JoystickDevice, nullptr);
    EXPECT_EQ(Game.JoystickReady, 0);
    ASSERT_NE(Game.KeyboardDevice, nullptr);
    // The input system and the keyboard are alive; the joystick was given back.
    EXPECT_EQ(diagnostics().live_objects(), objects_before + 2);
    BYTE keys[256];
    EXPECT_EQ(Game.KeyboardDevice->GetDeviceState(sizeof(keys), keys), DI_OK) << "acquired";
  }
}

TEST_F(InputDevicesTest, EachRefusedKeyboardStepWritesItsLine) {
  struct Case {
    const char* operation;
    const char* line;
    bool keyboard_kept;
  };
  const Case cases[] = {
      {"IDirectInput7A::CreateDeviceEx", "CreateDeviceEx NO\n", false},
      {"IDirectInputDevice7A::SetDataFormat", "SetDateFormat NO\n", true},
      {"IDirectInputDevice7A::SetCooperativeLevel", "SetCooperativeLevel NO\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    StartOver();
    diagnostics().InjectFault(c.operation, DIERR_GENERIC);

    EXPECT_EQ(SetupInput(instance, window), FALSE);
    EXPECT_EQ(host.debug_lines(), std::vector<std::string>{c.line});
    EXPECT_EQ(Game.KeyboardDevice != nullptr, c.keyboard_kept);
    EXPECT_EQ(CountCalls("IDirectInputDevice7A::Acquire"), 0);
  }
}

TEST_F(InputDevicesTest, RefusalsThatDoNotStopSetUp) {
  struct Case {
    const char* what;
    const char* operation;
    bool joystick_ready;
  };
  const Case cases[] = {
      {"enumeration", "IDirectInput7A::EnumDevices", false},
      {"acquisition", "IDirectInputDevice7A::Acquire", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartOver();
    host.AttachJoystick("Pad");
    diagnostics().InjectFault(c.operation, DIERR_OTHERAPPHASPRIO, 2);

    EXPECT_EQ(SetupInput(instance, window), TRUE);
    EXPECT_EQ(Game.JoystickReady == 1, c.joystick_ready);
    EXPECT_NE(Game.KeyboardDevice, nullptr);
    EXPECT_TRUE(host.debug_lines().empty());
  }
}

TEST_F(InputDevicesTest, CreatingTheInputSystemRefusedFailsSilently) {
  diagnostics().InjectFault("DirectInputCreateEx", DIERR_OUTOFMEMORY);
  EXPECT_EQ(SetupInput(instance, window), FALSE);
  EXPECT_EQ(Game.InputObject, nullptr);
  EXPECT_TRUE(host.debug_lines().empty());
  EXPECT_EQ(CountCalls("IDirectInput7A::EnumDevices"), 0);
}

TEST_F(InputDevicesTest, ReleaseGivesUpJoystickKeyboardAndInputSystemInOrder) {
  host.AttachJoystick("Pad");
  ASSERT_EQ(SetupInput(instance, window), TRUE);
  NameInputObjects();
  diagnostics().ClearJournal();

  EXPECT_EQ(ReleaseInput(), TRUE);
  EXPECT_EQ(InputCalls(), (Calls{"Release joystick", "Release keyboard", "Release input"}));
  EXPECT_EQ(Game.JoystickDevice, nullptr);
  EXPECT_EQ(Game.KeyboardDevice, nullptr);
  EXPECT_EQ(Game.InputObject, nullptr);
  EXPECT_EQ(diagnostics().live_objects(), 0);

  diagnostics().ClearJournal();
  EXPECT_EQ(ReleaseInput(), TRUE);
  EXPECT_TRUE(InputCalls().empty()) << "a second release does nothing";
}

TEST_F(InputDevicesTest, ReleaseWithSomeHandlesSetReleasesJustThose) {
  diagnostics().InjectFault("IDirectInputDevice7A::SetDataFormat", DIERR_GENERIC);
  ASSERT_EQ(SetupInput(instance, window), FALSE);
  NameInputObjects();
  diagnostics().ClearJournal();

  EXPECT_EQ(ReleaseInput(), TRUE);
  EXPECT_EQ(InputCalls(), (Calls{"Release keyboard", "Release input"}));
  EXPECT_EQ(diagnostics().live_objects(), 0);
}

}  // namespace
