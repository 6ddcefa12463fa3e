// SDL's virtual joysticks need no display.
#include <SDL.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "hosts/headless/headless_host.h"
#include "hosts/sdl/sdl_input.h"
#include "platform.h"

namespace {

namespace sdl = orv::platform::sdl;
using orv::platform::JoystickInfo;
using orv::platform::JoystickReading;

constexpr char kPadName[] = "Orvendal test pad";

// The headless host with its joysticks taken from SDL.
class SdlJoystickHost : public orv::platform::HeadlessHost {
 public:
  std::vector<JoystickInfo> Joysticks() override { return sdl::ListJoysticks(); }
  bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) override {
    return sdl::ReadJoystick(instance_id, reading);
  }
};

class VirtualJoystickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = 3;
    desc.nbuttons = 12;
    desc.nhats = 1;
    desc.name = kPadName;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    id = SDL_JoystickGetDeviceInstanceID(index);
  }
  void TearDown() override {
    Detach();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  // The pad as SDL opened it for the platform.
  SDL_Joystick* Pad() { return SDL_JoystickFromInstanceID(id); }

  void Detach() {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == id)
        SDL_JoystickDetachVirtual(index);
    }
  }

  SDL_JoystickID id = -1;
};

TEST_F(VirtualJoystickTest, ListedAndReadRawByInstanceIdUntilDetached) {
  const auto joysticks = sdl::ListJoysticks();
  auto pad = std::find_if(joysticks.begin(), joysticks.end(),
                          [&](const JoystickInfo& info) { return info.instance_id == Uint32(id); });
  ASSERT_NE(pad, joysticks.end());
  EXPECT_EQ(pad->name, kPadName);
  EXPECT_EQ(pad->axis_count, 3);
  EXPECT_EQ(pad->button_count, 12);
  EXPECT_EQ(pad->hat_count, 1);

  ASSERT_NE(Pad(), nullptr) << "listing opens the joystick";
  SDL_JoystickSetVirtualAxis(Pad(), 0, -32768);
  SDL_JoystickSetVirtualAxis(Pad(), 1, 20000);
  SDL_JoystickSetVirtualButton(Pad(), 4, 1);
  SDL_JoystickSetVirtualHat(Pad(), 0, SDL_HAT_LEFTUP);

  JoystickReading reading;
  ASSERT_TRUE(sdl::ReadJoystick(id, reading));
  EXPECT_EQ(reading.axes[0], -32768);
  EXPECT_EQ(reading.axes[1], 20000);
  EXPECT_EQ(reading.axes[2], 0);
  for (int button = 0; button < JoystickReading::kButtons; ++button) {
    EXPECT_EQ(reading.buttons[button], button == 4) << button;
  }
  EXPECT_EQ(reading.hats[0], 31500);
  EXPECT_EQ(reading.hats[1], -1);

  Detach();
  EXPECT_FALSE(sdl::ReadJoystick(id, reading));
  const auto after = sdl::ListJoysticks();
  EXPECT_TRUE(std::none_of(after.begin(), after.end(),
                           [&](const JoystickInfo& info) { return info.name == kPadName; }));
}

TEST_F(VirtualJoystickTest, DirectInputScalesTheSdlJoystick) {
  SdlJoystickHost host;
  LPDIRECTINPUT7 input = nullptr;
  ASSERT_EQ(DirectInputCreateEx(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput7A,
                                reinterpret_cast<LPVOID*>(&input), nullptr),
            DI_OK);
  GUID pad_guid = {};
  input->EnumDevices(
      DIDEVTYPE_JOYSTICK,
      [](LPCDIDEVICEINSTANCEA device, LPVOID context) -> BOOL {
        if (std::string_view(device->tszInstanceName) != kPadName)
          return DIENUM_CONTINUE;
        *static_cast<GUID*>(context) = device->guidInstance;
        return DIENUM_STOP;
      },
      &pad_guid, DIEDFL_ATTACHEDONLY);

  LPDIRECTINPUTDEVICE7 joystick = nullptr;
  ASSERT_EQ(input->CreateDeviceEx(pad_guid, IID_IDirectInputDevice7A,
                                  reinterpret_cast<LPVOID*>(&joystick), nullptr),
            DI_OK);
  ASSERT_EQ(joystick->SetDataFormat(&c_dfDIJoystick), DI_OK);
  ASSERT_EQ(joystick->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
  for (DWORD offset : {DWORD(DIJOFS_X), DWORD(DIJOFS_Y)}) {
    DIPROPRANGE range = {
        {sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET}, -1000, 1000};
    ASSERT_EQ(joystick->SetProperty(DIPROP_RANGE, &range.diph), DI_OK);
    DIPROPDWORD dead_zone = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET},
                             2500};
    ASSERT_EQ(joystick->SetProperty(DIPROP_DEADZONE, &dead_zone.diph), DI_OK);
  }
  ASSERT_EQ(joystick->Acquire(), DI_OK);

  SDL_JoystickSetVirtualAxis(Pad(), 0, -32768);
  SDL_JoystickSetVirtualAxis(Pad(), 1, 16384);
  SDL_JoystickSetVirtualAxis(Pad(), 2, 32767);
  SDL_JoystickSetVirtualButton(Pad(), 0, 1);
  SDL_JoystickSetVirtualHat(Pad(), 0, SDL_HAT_LEFT);
  DIJOYSTATE state;
  ASSERT_EQ(joystick->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.lX, -1000);
  EXPECT_EQ(state.lY, 333);
  EXPECT_EQ(state.lZ, 65535);
  EXPECT_EQ(state.lRx, 32767);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
  EXPECT_EQ(state.rgbButtons[1], 0);
  EXPECT_EQ(state.rgdwPOV[0], 27000u);

  Detach();
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state), &state), DIERR_INPUTLOST);
  EXPECT_EQ(joystick->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
  joystick->Release();
  input->Release();
}

}  // namespace
