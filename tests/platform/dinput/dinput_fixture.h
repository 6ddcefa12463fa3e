// A headless host with one shown window (so it is the foreground window) and a
// DirectInput object.
#pragma once

#include <gtest/gtest.h>

#include "platform.h"
#include "platform_fixture/shown_window.h"

class DirectInputTest : public orv::test_support::ShownWindowTest<> {
 protected:
  DirectInputTest() {
    EXPECT_EQ(DirectInputCreateEx(instance, DIRECTINPUT_VERSION, IID_IDirectInput7A,
                                  reinterpret_cast<LPVOID*>(&input), nullptr),
              DI_OK);
  }

  LPDIRECTINPUTDEVICE7 Create(REFGUID guid) {
    LPDIRECTINPUTDEVICE7 device = nullptr;
    EXPECT_EQ(input->CreateDeviceEx(guid, IID_IDirectInputDevice7A,
                                    reinterpret_cast<LPVOID*>(&device), nullptr),
              DI_OK);
    return device;
  }

  // A device with its format and a shared foreground cooperative level on the window.
  LPDIRECTINPUTDEVICE7 Open(REFGUID guid, LPCDIDATAFORMAT format,
                            DWORD cooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) {
    LPDIRECTINPUTDEVICE7 device = Create(guid);
    if (device == nullptr)
      return nullptr;
    EXPECT_EQ(device->SetDataFormat(format), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(window, cooperation), DI_OK);
    return device;
  }

  // The instance GUID that enumeration gives the joystick at `position`.
  GUID JoystickGuid(int position) {
    struct Search {
      int remaining;
      GUID found;
    } search{position, {}};
    input->EnumDevices(
        DIDEVTYPE_JOYSTICK,
        [](LPCDIDEVICEINSTANCEA device, LPVOID context) -> BOOL {
          auto& search = *static_cast<Search*>(context);
          if (search.remaining-- > 0)
            return DIENUM_CONTINUE;
          search.found = device->guidInstance;
          return DIENUM_STOP;
        },
        &search, DIEDFL_ATTACHEDONLY);
    return search.found;
  }

  LPDIRECTINPUT7 input = nullptr;
};
