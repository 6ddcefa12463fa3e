#include <string>
#include <vector>

#include "dinput_fixture.h"

namespace {

struct Enumeration {
  std::vector<DIDEVICEINSTANCEA> devices;
  int stop_after = -1;  // answer DIENUM_STOP at this call
};

BOOL CALLBACK Record(LPCDIDEVICEINSTANCEA device, LPVOID context) {
  auto& enumeration = *static_cast<Enumeration*>(context);
  enumeration.devices.push_back(*device);
  return int(enumeration.devices.size()) == enumeration.stop_after ? DIENUM_STOP : DIENUM_CONTINUE;
}

std::vector<std::string> Names(const Enumeration& enumeration) {
  std::vector<std::string> names;
  for (const auto& device : enumeration.devices)
    names.emplace_back(device.tszInstanceName);
  return names;
}

TEST(DirectInputRecordsTest, LayoutsMatchWindows) {
  EXPECT_EQ(sizeof(DIJOYSTATE), 80u);
  EXPECT_EQ(sizeof(DIPROPHEADER), 16u);
  EXPECT_EQ(sizeof(DIPROPDWORD), 20u);
  EXPECT_EQ(sizeof(DIPROPRANGE), 24u);
  EXPECT_EQ(sizeof(DIDEVICEINSTANCEA), 580u);
  EXPECT_EQ(DIJOFS_Y, 4);
  EXPECT_EQ(DIJOFS_POV(1), 36);
  EXPECT_EQ(DIJOFS_BUTTON(9), 57);
  EXPECT_EQ(c_dfDIKeyboard.dwDataSize, 256u);
  EXPECT_EQ(c_dfDIJoystick.dwDataSize, 80u);
  EXPECT_EQ(DIERR_INPUTLOST, HRESULT(0x8007001E));
  EXPECT_EQ(DIERR_NOTACQUIRED, HRESULT(0x8007000C));
}

TEST_F(DirectInputTest, CreationChecksItsArguments) {
  struct Case {
    const char* what;
    HINSTANCE instance;
    DWORD version;
    const IID* iid;
    bool outer;
    HRESULT expected;
  };
  const Case cases[] = {
      {"DirectInput 7", instance, 0x0700, &IID_IDirectInput7A, false, DI_OK},
      {"DirectInput 5 callers", instance, 0x0500, &IID_IDirectInput7A, false, DI_OK},
      {"no module", nullptr, 0x0700, &IID_IDirectInput7A, false, DIERR_INVALIDPARAM},
      {"too old", instance, 0x0200, &IID_IDirectInput7A, false, DIERR_OLDDIRECTINPUTVERSION},
      {"newer than 7", instance, 0x0800, &IID_IDirectInput7A, false, DIERR_BETADIRECTINPUTVERSION},
      {"a device interface", instance, 0x0700, &IID_IDirectInputDevice7A, false, DIERR_NOINTERFACE},
      {"aggregation", instance, 0x0700, &IID_IDirectInput7A, true, DIERR_NOAGGREGATION},
  };
  for (const Case& c : cases) {
    LPVOID object = reinterpret_cast<LPVOID>(1);
    EXPECT_EQ(DirectInputCreateEx(c.instance, c.version, *c.iid, &object,
                                  c.outer ? reinterpret_cast<LPUNKNOWN>(input) : nullptr),
              c.expected)
        << c.what;
    EXPECT_EQ(object != nullptr, c.expected == DI_OK) << c.what;
    if (object != nullptr)
      static_cast<LPDIRECTINPUT7>(object)->Release();
  }
  EXPECT_EQ(DirectInputCreateEx(instance, 0x0700, IID_IDirectInput7A, nullptr, nullptr), E_POINTER);
}

TEST_F(DirectInputTest, QueryInterfaceGivesTheSameObjectWithAReference) {
  LPDIRECTINPUTDEVICE7 keyboard = Create(GUID_SysKeyboard);
  ASSERT_NE(keyboard, nullptr);
  struct Case {
    const char* what;
    IUnknown* object;
    const IID& own;
    const IID& other;
    ULONG held;  // references before the query
  };
  const Case cases[] = {
      {"input object (the keyboard holds it too)", input, IID_IDirectInput7A,
       IID_IDirectInputDevice7A, 2},
      {"keyboard", keyboard, IID_IDirectInputDevice7A, IID_IDirectInput7A, 1},
  };
  for (const Case& c : cases) {
    void* same = nullptr;
    EXPECT_EQ(c.object->QueryInterface(c.own, &same), DI_OK) << c.what;
    EXPECT_EQ(same, c.object) << c.what;
    EXPECT_EQ(c.object->QueryInterface(c.other, &same), E_NOINTERFACE) << c.what;
    EXPECT_EQ(same, nullptr) << c.what;
    EXPECT_EQ(c.object->Release(), c.held) << c.what << ": the reference QueryInterface gave";
  }
  EXPECT_EQ(keyboard->Release(), 0u);
  void* same = reinterpret_cast<void*>(1);
  EXPECT_EQ(keyboard->QueryInterface(IID_IDirectInputDevice7A, &same), DIERR_NOTINITIALIZED);
  EXPECT_EQ(same, nullptr);
}

TEST_F(DirectInputTest, EnumeratesAttachedJoysticksInHostOrderUntilStopped) {
  for (const char* name : {"First pad", "Second pad", "Third pad"})
    host.AttachJoystick(name);

  Enumeration all;
  ASSERT_EQ(input->EnumDevices(DIDEVTYPE_JOYSTICK, Record, &all, DIEDFL_ATTACHEDONLY), DI_OK);
  EXPECT_EQ(Names(all), (std::vector<std::string>{"First pad", "Second pad", "Third pad"}));
  for (const auto& device : all.devices) {
    EXPECT_EQ(device.dwSize, sizeof(DIDEVICEINSTANCEA));
    EXPECT_EQ(GET_DIDEVICE_TYPE(device.dwDevType), DIDEVTYPE_JOYSTICK);
    EXPECT_STREQ(device.tszProductName, device.tszInstanceName);
  }
  EXPECT_FALSE(IsEqualGUID(all.devices[0].guidInstance, all.devices[1].guidInstance));

  Enumeration stopped;
  stopped.stop_after = 2;
  ASSERT_EQ(input->EnumDevices(DIDEVTYPE_JOYSTICK, Record, &stopped, DIEDFL_ATTACHEDONLY), DI_OK);
  EXPECT_EQ(Names(stopped), (std::vector<std::string>{"First pad", "Second pad"}));
  EXPECT_TRUE(IsEqualGUID(stopped.devices[1].guidInstance, all.devices[1].guidInstance))
      << "the same device keeps its identity";

  Enumeration everything;
  ASSERT_EQ(input->EnumDevices(0, Record, &everything, DIEDFL_ATTACHEDONLY), DI_OK);
  ASSERT_EQ(everything.devices.size(), 4u);
  EXPECT_TRUE(IsEqualGUID(everything.devices[0].guidInstance, GUID_SysKeyboard));

  Enumeration none;
  EXPECT_EQ(input->EnumDevices(DIDEVTYPE_JOYSTICK, Record, &none, DIEDFL_FORCEFEEDBACK), DI_OK);
  EXPECT_TRUE(none.devices.empty()) << "no device has force feedback";
  EXPECT_EQ(input->EnumDevices(DIDEVTYPE_JOYSTICK, nullptr, nullptr, 0), DIERR_INVALIDPARAM);
  EXPECT_EQ(input->EnumDevices(9, Record, &none, 0), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, CreatesDevicesOnlyForIdentitiesThatStillOpen) {
  const std::uint32_t first = host.AttachJoystick("First pad");
  host.AttachJoystick("Second pad");
  const GUID first_guid = JoystickGuid(0);
  const GUID second_guid = JoystickGuid(1);
  host.DetachJoystick(first);

  struct Case {
    const char* what;
    const GUID* guid;
    const IID* iid;
    HRESULT expected;
  };
  const Case cases[] = {
      {"keyboard", &GUID_SysKeyboard, &IID_IDirectInputDevice7A, DI_OK},
      {"attached joystick", &second_guid, &IID_IDirectInputDevice7A, DI_OK},
      {"detached joystick", &first_guid, &IID_IDirectInputDevice7A, DIERR_DEVICENOTREG},
      {"mouse", &GUID_SysMouse, &IID_IDirectInputDevice7A, DIERR_DEVICENOTREG},
      {"not a device interface", &GUID_SysKeyboard, &IID_IDirectInput7A, DIERR_NOINTERFACE},
  };
  for (const Case& c : cases) {
    LPDIRECTINPUTDEVICE7 device = reinterpret_cast<LPDIRECTINPUTDEVICE7>(1);
    EXPECT_EQ(input->CreateDeviceEx(*c.guid, *c.iid, reinterpret_cast<LPVOID*>(&device), nullptr),
              c.expected)
        << c.what;
    EXPECT_EQ(device != nullptr, c.expected == DI_OK) << c.what;
    if (device != nullptr)
      device->Release();
  }

  EXPECT_EQ(input->GetDeviceStatus(second_guid), DI_OK);
  EXPECT_EQ(input->GetDeviceStatus(first_guid), DI_NOTATTACHED);
  EXPECT_EQ(input->GetDeviceStatus(GUID_SysMouse), DIERR_DEVICENOTREG);
}

}  // namespace
