// The DirectInput object: creation, device enumeration and device creation.
#include <algorithm>
#include <string_view>
#include <vector>

#include "core/com_object.h"
#include "core/host.h"
#include "core/reset.h"
#include "dinput/device_identity.h"
#include "dinput/input_device.h"
#include "win/dinput.h"

namespace orv::platform::dinput {
namespace {

constexpr DWORD kEnumerationFlags = DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK |
                                    0x00010000 /* aliases */ | 0x00020000 /* phantoms */;

std::optional<JoystickInfo> AttachedJoystick(std::uint32_t instance_id) {
  for (auto& joystick : CurrentHost().Joysticks()) {
    if (joystick.instance_id == instance_id)
      return joystick;
  }
  return std::nullopt;
}

class DirectInputObject;

std::vector<DirectInputObject*>& LiveInputObjects() {
  static std::vector<DirectInputObject*> objects;
  return objects;
}

class DirectInputObject final : public ComObject<DirectInputObject, IDirectInput7A> {
 public:
  static constexpr std::string_view kInterfaceName = "IDirectInput7A";
  static constexpr const IID* kInterfaces[] = {&IID_IDirectInput7A};
  static constexpr HRESULT kReleasedResult = kReleasedObjectResult;

  DirectInputObject() { LiveInputObjects().push_back(this); }

  HRESULT EnumDevices(DWORD device_type, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                      DWORD flags) override {
    if (auto early = OpenCall(*this, "IDirectInput7A::EnumDevices", handle(), device_type, flags))
      return *early;
    if (callback == nullptr || device_type > DIDEVTYPE_JOYSTICK ||
        (flags & ~kEnumerationFlags) != 0) {
      return DIERR_INVALIDPARAM;
    }
    // None of the devices has force feedback.
    if ((flags & DIEDFL_FORCEFEEDBACK) != 0)
      return DI_OK;

    // Described before the first call back, which may open devices.
    std::vector<DIDEVICEINSTANCEA> devices;
    if (device_type == 0 || device_type == DIDEVTYPE_KEYBOARD) {
      DescribeKeyboard(devices.emplace_back());
    }
    if (device_type == 0 || device_type == DIDEVTYPE_JOYSTICK) {
      for (const auto& joystick : CurrentHost().Joysticks()) {
        DescribeJoystick(joystick, devices.emplace_back());
      }
    }
    for (const auto& device : devices) {
      if (callback(&device, context) == DIENUM_STOP)
        break;
    }
    return DI_OK;
  }

  HRESULT GetDeviceStatus(REFGUID instance) override {
    if (auto early = OpenCall(*this, "IDirectInput7A::GetDeviceStatus", handle(), instance))
      return *early;
    if (IsEqualGUID(instance, GUID_SysKeyboard))
      return DI_OK;
    const auto joystick = JoystickInstanceId(instance);
    if (!joystick)
      return DIERR_DEVICENOTREG;
    return AttachedJoystick(*joystick) ? DI_OK : DI_NOTATTACHED;
  }

  HRESULT CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device, LPUNKNOWN outer) override {
    if (auto early = OpenCall(*this, "IDirectInput7A::CreateDeviceEx", handle(), instance))
      return *early;
    if (device == nullptr)
      return E_POINTER;
    *device = nullptr;
    if (outer != nullptr)
      return DIERR_NOAGGREGATION;
    if (!IsEqualIID(iid, IID_IDirectInputDevice7A))
      return DIERR_NOINTERFACE;

    std::optional<JoystickInfo> joystick;
    if (!IsEqualGUID(instance, GUID_SysKeyboard)) {
      const auto instance_id = JoystickInstanceId(instance);
      if (instance_id)
        joystick = AttachedJoystick(*instance_id);
      // Unknown, or a joystick that is no longer attached.
      if (!joystick)
        return DIERR_DEVICENOTREG;
    }
    *device = static_cast<IDirectInputDevice7A*>(new InputDevice(this, std::move(joystick)));
    return DI_OK;
  }

 protected:
  void OnFinalRelease() override { std::erase(LiveInputObjects(), this); }
};

void ResetDirectInput() {
  // Devices hold their input object, so they go first.
  ReleaseLiveDevices();
  auto objects = LiveInputObjects();
  for (DirectInputObject* object : objects)
    object->EndLife();
}

const ResetHook kReset(ResetOrder::kDirectInput, &ResetDirectInput);

}  // namespace
}  // namespace orv::platform::dinput

HRESULT DirectInputCreateEx(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* object,
                            LPUNKNOWN outer) {
  using orv::platform::kInjectedResult;
  using orv::platform::OpenCall;
  if (auto early = OpenCall(kInjectedResult, "DirectInputCreateEx", version, iid))
    return *early;
  if (object == nullptr)
    return E_POINTER;
  *object = nullptr;
  if (instance == nullptr)
    return DIERR_INVALIDPARAM;
  if (version < 0x0300)
    return DIERR_OLDDIRECTINPUTVERSION;
  if (version > 0x0700)
    return DIERR_BETADIRECTINPUTVERSION;
  if (outer != nullptr)
    return DIERR_NOAGGREGATION;
  if (!IsEqualIID(iid, IID_IDirectInput7A))
    return DIERR_NOINTERFACE;
  *object = static_cast<IDirectInput7A*>(new orv::platform::dinput::DirectInputObject());
  return DI_OK;
}
