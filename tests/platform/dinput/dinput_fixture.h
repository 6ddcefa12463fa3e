// A headless host with one shown window (so it is the foreground window) and a
// DirectInput object.
#pragma once

#include <gtest/gtest.h>

#include "hosts/headless/headless_host.h"
#include "platform.h"

class DirectInputTest : public ::testing::Test {
 protected:
  DirectInputTest() {
    instance = GetModuleHandleA(nullptr);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = instance;
    window_class.lpszClassName = "DirectInputTest";
    RegisterClassA(&window_class);
    window = CreateWindowExA(0, "DirectInputTest", "DirectInput test", WS_OVERLAPPEDWINDOW, 0, 0,
                             640, 480, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_EQ(DirectInputCreateEx(instance, DIRECTINPUT_VERSION, IID_IDirectInput7A,
                                  reinterpret_cast<LPVOID*>(&input), nullptr),
              DI_OK);
  }

  // Lets the window layer turn the host's events into foreground changes.
  void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
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

  orv::platform::HeadlessHost host;
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  LPDIRECTINPUT7 input = nullptr;
};
