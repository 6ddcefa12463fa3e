#include "input/controls.h"

#include <string>
#include <vector>

#include "input/input_devices.h"
#include "input_fixture.h"

namespace {

using Calls = std::vector<std::string>;

class ControlsTest : public InputTest {
 protected:
  // Sets the input up, with a joystick when `with_joystick`, and starts a fresh journal.
  void SetUpInput(bool with_joystick) {
    if (with_joystick)
      pad = host.AttachJoystick("Pad", /*axes=*/3, /*buttons=*/12, /*hats=*/1);
    ASSERT_EQ(SetupInput(instance, window), TRUE);
    ASSERT_EQ(Game.JoystickReady, with_joystick ? 1 : 0);
    NameInputObjects();
    diagnostics().ClearJournal();
  }

  void LeaveAndReturn() {
    SwitchAway(false);
    SwitchBack();
  }

  std::uint32_t pad = 0;
};

TEST_F(ControlsTest, BeforeSetUpAndAfterReleaseNothingIsHeldAndNoDeviceTouched) {
  host.PressKey(DIK_A);
  EXPECT_EQ(PollControls(), 0u);
  SetUpInput(true);
  ReleaseInput();
  diagnostics().ClearJournal();
  EXPECT_EQ(PollControls(), 0u);
  EXPECT_TRUE(InputCalls().empty());
}

TEST_F(ControlsTest, KeysGiveTheirControls) {
  SetUpInput(false);
  struct Case {
    std::vector<BYTE> keys;
    ControlFlags expected;
  };
  const Case cases[] = {
      {{}, 0},
      {{DIK_UP}, CTRL_UP},
      {{DIK_DOWN}, CTRL_DOWN},
      {{DIK_LEFT}, CTRL_LEFT},
      {{DIK_RIGHT}, CTRL_RIGHT},
      {{DIK_A}, CTRL_A},
      {{DIK_B}, CTRL_B},
      {{DIK_C}, CTRL_C},
      {{DIK_X}, CTRL_X},
      {{DIK_Y}, CTRL_Y},
      {{DIK_Z}, CTRL_Z},
      {{DIK_L}, CTRL_L},
      {{DIK_R}, CTRL_R},
      {{DIK_M}, CTRL_M},
      {{DIK_UP, DIK_DOWN}, 0x3},
      {{DIK_SPACE, DIK_RETURN, DIK_ESCAPE, DIK_NUMPAD8, DIK_Q}, 0},
  };
  for (const Case& c : cases) {
    for (BYTE key : c.keys)
      host.PressKey(key);
    EXPECT_EQ(PollControls(), c.expected) << testing::PrintToString(c.keys);
    for (BYTE key : c.keys)
      host.ReleaseKey(key);
  }
  EXPECT_EQ(CountCalls("IDirectInputDevice7A::Poll"), 0) << "no joystick, no poll";
}

TEST_F(ControlsTest, JoystickAndKeysCombine) {
  SetUpInput(true);
  struct Case {
    const char* what;
    std::int32_t x, y, z;
    std::vector<int> buttons;
    std::int32_t hat;
    std::vector<BYTE> keys;
    ControlFlags expected;
  };
  const Case cases[] = {
      {"at rest", 0, 0, 0, {}, -1, {}, 0},
      {"inside the dead zone", 8000, -8000, 0, {}, -1, {}, 0},
      {"up and left, right arrow", -20000, -20000, 0, {}, -1, {DIK_RIGHT}, 0xD},
      {"down and right", 32767, 32767, 0, {}, -1, {}, CTRL_DOWN | CTRL_RIGHT},
      {"stick up, down arrow", 0, -32768, 0, {}, -1, {DIK_DOWN}, CTRL_UP | CTRL_DOWN},
      {"button 8", 0, 0, 0, {8}, -1, {}, CTRL_BUTTON8},
      {"buttons 0 to 9", 0, 0, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -1, {}, 0x3FF0},
      {"buttons 10 and 11", 0, 0, 0, {10, 11}, -1, {}, 0},
      {"Z axis and hat", 0, 0, 32767, {}, 9000, {}, 0},
      {"button 0 and the A key", 0, 0, 0, {0}, -1, {DIK_A}, CTRL_A},
  };
  for (const Case& c : cases) {
    host.SetJoystickAxis(pad, 0, c.x);
    host.SetJoystickAxis(pad, 1, c.y);
    host.SetJoystickAxis(pad, 2, c.z);
    host.SetJoystickHat(pad, 0, c.hat);
    for (int button : c.buttons)
      host.SetJoystickButton(pad, button, true);
    for (BYTE key : c.keys)
      host.PressKey(key);
    EXPECT_EQ(PollControls(), c.expected) << c.what;
    for (int button : c.buttons)
      host.SetJoystickButton(pad, button, false);
    for (BYTE key : c.keys)
      host.ReleaseKey(key);
  }
}

TEST_F(ControlsTest, EachPollReadsJoystickThenKeyboard) {
  SetUpInput(true);
  PollControls();
  EXPECT_EQ(InputCalls(), (Calls{"Poll joystick", "GetDeviceState joystick, 80",
                                 "GetDeviceState keyboard, 256"}));
}

TEST_F(ControlsTest, LostJoystickInputIsAcquiredAgainWithoutReadingTheKeyboard) {
  SetUpInput(true);
  host.PressKey(DIK_A);
  diagnostics().InjectFault("IDirectInputDevice7A::GetDeviceState", DIERR_INPUTLOST);
  EXPECT_EQ(PollControls(), 0u);
  EXPECT_EQ(InputCalls(),
            (Calls{"Poll joystick", "GetDeviceState joystick, 80", "Acquire joystick"}));
  EXPECT_EQ(PollControls(), CTRL_A);
}

TEST_F(ControlsTest, LostKeyboardInputKeepsTheJoysticksControls) {
  SetUpInput(true);
  host.SetJoystickAxis(pad, 0, -32768);
  host.PressKey(DIK_A);
  diagnostics().InjectFault("IDirectInputDevice7A::GetDeviceState", DIERR_INPUTLOST, 1, 1);
  EXPECT_EQ(PollControls(), CTRL_LEFT);
  EXPECT_EQ(InputCalls().back(), "Acquire keyboard");
  EXPECT_EQ(PollControls(), CTRL_LEFT | CTRL_A);
}

TEST_F(ControlsTest, AfterLeavingTheForegroundEachDeviceRecoversInTurn) {
  SetUpInput(true);
  host.SetJoystickAxis(pad, 1, -32768);
  host.PressKey(DIK_A);
  LeaveAndReturn();
  EXPECT_EQ(PollControls(), 0u) << "the joystick reports its loss";
  EXPECT_EQ(PollControls(), CTRL_UP) << "the keyboard reports its loss";
  EXPECT_EQ(PollControls(), CTRL_UP | CTRL_A);
}

TEST_F(ControlsTest, DevicesNotAcquiredAtStartAreAcquiredByPolling) {
  SwitchAway(false);
  SetUpInput(true);  // both acquisitions refused: the window is not in the foreground
  SwitchBack();
  host.SetJoystickAxis(pad, 0, 32767);
  host.PressKey(DIK_DOWN);

  EXPECT_EQ(PollControls(), 0u) << "both reads fail and acquire again";
  EXPECT_EQ(InputCalls(), (Calls{"Poll joystick", "GetDeviceState joystick, 80", "Acquire joystick",
                                 "GetDeviceState keyboard, 256", "Acquire keyboard"}));
  EXPECT_EQ(PollControls(), CTRL_RIGHT | CTRL_DOWN);
}

TEST_F(ControlsTest, AFailedReadContributesNothingHeld) {
  SetUpInput(true);
  host.SetJoystickAxis(pad, 0, -32768);
  host.SetJoystickButton(pad, 3, true);
  host.PressKey(DIK_A);
  diagnostics().InjectFault("IDirectInputDevice7A::GetDeviceState", DIERR_GENERIC);
  EXPECT_EQ(PollControls(), CTRL_A);
  diagnostics().InjectFault("IDirectInputDevice7A::GetDeviceState", DIERR_GENERIC, 1, 1);
  EXPECT_EQ(PollControls(), CTRL_LEFT | CTRL_X);
  EXPECT_EQ(CountCalls("IDirectInputDevice7A::Acquire"), 0);
}

TEST_F(ControlsTest, AnUnpluggedJoystickCostsOneCallThenTheKeyboardCarriesOn) {
  SetUpInput(true);
  host.PressKey(DIK_LEFT);
  host.DetachJoystick(pad);
  EXPECT_EQ(PollControls(), 0u);
  EXPECT_EQ(PollControls(), CTRL_LEFT);
  EXPECT_EQ(PollControls(), CTRL_LEFT);
}

}  // namespace
