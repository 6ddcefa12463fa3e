#include "dinput/input_device.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "dinput/device_identity.h"
#include "win/user.h"

namespace orv::platform::dinput {
namespace {

std::vector<InputDevice*>& LiveDevices() {
  static std::vector<InputDevice*> devices;
  return devices;
}

constexpr DWORD kAllAxes = (1u << 8) - 1;
constexpr DWORD kCooperationFlags =
    DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY;

int PropertyNumber(REFGUID property) {
  for (int number = 0; number < int(std::size(kDirectInputProperties)); ++number) {
    if (IsEqualGUID(property, kDirectInputProperties[number]))
      return number;
  }
  return -1;
}

std::string_view PropertyName(REFGUID property) {
  if (IsEqualGUID(property, DIPROP_RANGE))
    return "DIPROP_RANGE";
  if (IsEqualGUID(property, DIPROP_DEADZONE))
    return "DIPROP_DEADZONE";
  return "other";
}

bool ExactlyOne(DWORD flags) {
  return flags != 0 && (flags & (flags - 1)) == 0;
}

}  // namespace

InputDevice::InputDevice(ComLifetime* parent, std::optional<JoystickInfo> joystick)
    : parent_(parent), joystick_(std::move(joystick)) {
  // The device's own reference, not a call by the program: kept out of the journal.
  parent_->Retain();
  foreground_listener_ = AddForegroundListener(
      [this](const ForegroundState& foreground) { OnForegroundChanged(foreground); });
  LiveDevices().push_back(this);
}

void InputDevice::OnFinalRelease() {
  // A device still acquired is given up by its release alone.
  acquired_ = false;
  RemoveForegroundListener(foreground_listener_);
  std::erase(LiveDevices(), this);
  parent_->Drop();
}

void ReleaseLiveDevices() {
  auto devices = LiveDevices();
  for (InputDevice* device : devices)
    device->EndLife();
}

bool InputDevice::InForeground() const {
  const ForegroundState& foreground = Foreground();
  return foreground.window == window_ && !foreground.minimized;
}

void InputDevice::OnForegroundChanged(const ForegroundState&) {
  if (acquired_ && (cooperation_ & DISCL_FOREGROUND) != 0 && !InForeground()) {
    acquired_ = false;
    lost_ = true;
  }
}

HRESULT InputDevice::SetDataFormat(LPCDIDATAFORMAT format) {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::SetDataFormat", handle(),
                            FieldText(format, &DIDATAFORMAT::dwDataSize))) {
    return *early;
  }
  if (format == nullptr)
    return DIERR_INVALIDPARAM;
  if (acquired_)
    return DIERR_ACQUIRED;
  auto bound =
      BindDataFormat(*format, joystick_ ? JoystickDeviceObjects() : KeyboardDeviceObjects());
  if (!bound)
    return DIERR_INVALIDPARAM;
  format_ = std::move(bound);
  return DI_OK;
}

HRESULT InputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
  if (auto early =
          OpenCall(*this, "IDirectInputDevice7A::SetCooperativeLevel", handle(), window, flags)) {
    return *early;
  }
  if ((flags & ~kCooperationFlags) != 0 ||
      !ExactlyOne(flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE)) ||
      !ExactlyOne(flags & (DISCL_FOREGROUND | DISCL_BACKGROUND))) {
    return DIERR_INVALIDPARAM;
  }
  // Windows keeps the keyboard from being held exclusively in the background.
  if (!joystick_ && flags == (DISCL_EXCLUSIVE | DISCL_BACKGROUND))
    return DIERR_UNSUPPORTED;
  if (acquired_)
    return DIERR_ACQUIRED;
  // Only a shared background device may do without a window.
  const bool window_needed = window != nullptr || flags != (DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
  if (window_needed && !IsWindow(window))
    return E_HANDLE;
  window_ = window;
  cooperation_ = flags;
  return DI_OK;
}

HRESULT InputDevice::FindAxes(REFGUID property, const DIPROPHEADER* header, unsigned& axes) const {
  if (header == nullptr)
    return DIERR_INVALIDPARAM;
  DWORD record_size = 0;
  switch (PropertyNumber(property)) {
    case 4:  // DIPROP_RANGE
      record_size = sizeof(DIPROPRANGE);
      break;
    case 5:  // DIPROP_DEADZONE
      record_size = sizeof(DIPROPDWORD);
      break;
    default:
      return DIERR_UNSUPPORTED;
  }
  if (header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != record_size) {
    return DIERR_INVALIDPARAM;
  }
  switch (header->dwHow) {
    case DIPH_DEVICE:
      if (header->dwObj != 0)
        return DIERR_INVALIDPARAM;
      if (!joystick_)
        return DIERR_UNSUPPORTED;
      axes = kAllAxes;
      return DI_OK;
    case DIPH_BYOFFSET: {
      const BoundObject* object = format_ ? format_->AtOffset(header->dwObj) : nullptr;
      if (object == nullptr || object->kind != ObjectKind::kAxis)
        return DIERR_OBJECTNOTFOUND;
      axes = 1u << object->index;
      return DI_OK;
    }
    case DIPH_BYID:
      return DIERR_UNSUPPORTED;
    default:
      return DIERR_INVALIDPARAM;
  }
}

HRESULT InputDevice::SetProperty(REFGUID property, LPCDIPROPHEADER header) {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::SetProperty", handle(),
                            PropertyName(property), FieldText(header, &DIPROPHEADER::dwObj))) {
    return *early;
  }
  unsigned axes = 0;
  if (HRESULT result = FindAxes(property, header, axes); FAILED(result))
    return result;

  if (IsEqualGUID(property, DIPROP_RANGE)) {
    const auto& range = *reinterpret_cast<const DIPROPRANGE*>(header);
    if (range.lMin >= range.lMax)
      return DIERR_INVALIDPARAM;
    for (int axis = 0; axis < kAxes; ++axis) {
      if ((axes & (1u << axis)) != 0) {
        axes_[axis].min = range.lMin;
        axes_[axis].max = range.lMax;
      }
    }
  } else {
    const auto& dead_zone = *reinterpret_cast<const DIPROPDWORD*>(header);
    if (dead_zone.dwData > 10000)
      return DIERR_INVALIDPARAM;
    for (int axis = 0; axis < kAxes; ++axis) {
      if ((axes & (1u << axis)) != 0)
        axes_[axis].dead_zone = dead_zone.dwData;
    }
  }
  return DI_OK;
}

HRESULT InputDevice::GetProperty(REFGUID property, LPDIPROPHEADER header) {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::GetProperty", handle(),
                            PropertyName(property), FieldText(header, &DIPROPHEADER::dwObj))) {
    return *early;
  }
  unsigned axes = 0;
  if (HRESULT result = FindAxes(property, header, axes); FAILED(result))
    return result;
  // For the whole device, the first axis answers.
  const AxisSettings& settings = axes_[std::countr_zero(axes)];
  if (IsEqualGUID(property, DIPROP_RANGE)) {
    auto& range = *reinterpret_cast<DIPROPRANGE*>(header);
    range.lMin = settings.min;
    range.lMax = settings.max;
  } else {
    reinterpret_cast<DIPROPDWORD*>(header)->dwData = settings.dead_zone;
  }
  return DI_OK;
}

HRESULT InputDevice::Acquire() {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::Acquire", handle()))
    return *early;
  if (!format_)
    return DIERR_INVALIDPARAM;
  if (acquired_)
    return DI_NOEFFECT;
  if ((cooperation_ & DISCL_FOREGROUND) != 0 && !InForeground())
    return DIERR_OTHERAPPHASPRIO;
  if (joystick_) {
    const auto attached = CurrentHost().Joysticks();
    if (std::none_of(attached.begin(), attached.end(), [&](const JoystickInfo& info) {
          return info.instance_id == joystick_->instance_id;
        })) {
      return DIERR_UNPLUGGED;
    }
  }
  acquired_ = true;
  lost_ = false;
  return DI_OK;
}

HRESULT InputDevice::Unacquire() {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::Unacquire", handle()))
    return *early;
  lost_ = false;
  if (!acquired_)
    return DI_NOEFFECT;
  acquired_ = false;
  return DI_OK;
}

HRESULT InputDevice::Poll() {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::Poll", handle()))
    return *early;
  if (!acquired_)
    return lost_ ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
  // The host's state is read afresh by every GetDeviceState: nothing to poll.
  return DI_NOEFFECT;
}

HRESULT InputDevice::GetDeviceState(DWORD size, LPVOID data) {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::GetDeviceState", handle(), size))
    return *early;
  if (data == nullptr || (format_ && size != format_->data_size))
    return DIERR_INVALIDPARAM;
  if (lost_) {
    // Reported once; after that the device is simply not acquired.
    lost_ = false;
    return DIERR_INPUTLOST;
  }
  if (!acquired_)
    return DIERR_NOTACQUIRED;

  auto* bytes = static_cast<std::uint8_t*>(data);
  std::memset(bytes, 0, size);
  if (!joystick_) {
    FillKeyboardState(bytes);
    return DI_OK;
  }
  if (!FillJoystickState(bytes)) {
    // Detached: the loss is reported now, and reads from here on find the device unacquired;
    // Acquire answers DIERR_UNPLUGGED while it stays away.
    acquired_ = false;
    return DIERR_INPUTLOST;
  }
  return DI_OK;
}

void InputDevice::FillKeyboardState(std::uint8_t* data) const {
  std::array<std::uint8_t, 256> keys{};
  CurrentHost().ReadKeyboard(keys);
  for (const BoundObject& object : format_->objects) {
    data[object.offset] = keys[object.index] & 0x80;
  }
}

bool InputDevice::FillJoystickState(std::uint8_t* data) const {
  JoystickReading reading;
  if (!CurrentHost().ReadJoystick(joystick_->instance_id, reading))
    return false;
  for (const BoundObject& object : format_->objects) {
    const int i = object.index;
    switch (object.kind) {
      case ObjectKind::kAxis: {
        // X and Y are the first stick; the other axes follow as far as the device has them.
        const std::int32_t raw = i < joystick_->axis_count ? reading.axes[i] : 0;
        const LONG value = ScaleAxis(raw, axes_[i]);
        std::memcpy(data + object.offset, &value, sizeof(value));
        break;
      }
      case ObjectKind::kButton:
        data[object.offset] = i < joystick_->button_count && reading.buttons[i] ? 0x80 : 0;
        break;
      case ObjectKind::kPov: {
        const bool centred = i >= joystick_->hat_count || reading.hats[i] < 0;
        const DWORD value = centred ? 0xFFFFFFFF : DWORD(reading.hats[i]);
        std::memcpy(data + object.offset, &value, sizeof(value));
        break;
      }
    }
  }
  return true;
}

HRESULT InputDevice::GetDeviceInfo(LPDIDEVICEINSTANCEA instance) {
  if (auto early = OpenCall(*this, "IDirectInputDevice7A::GetDeviceInfo", handle()))
    return *early;
  if (instance == nullptr || instance->dwSize != sizeof(DIDEVICEINSTANCEA)) {
    return DIERR_INVALIDPARAM;
  }
  if (joystick_) {
    DescribeJoystick(*joystick_, *instance);
  } else {
    DescribeKeyboard(*instance);
  }
  return DI_OK;
}

}  // namespace orv::platform::dinput
