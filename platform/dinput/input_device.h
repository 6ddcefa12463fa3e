// A DirectInput device: the system keyboard or one of the host's joysticks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/com_object.h"
#include "core/foreground.h"
#include "core/host.h"
#include "dinput/axis_scaling.h"
#include "dinput/data_format.h"
#include "win/dinput.h"

namespace orv::platform::dinput {

// What a call on a released object answers (Windows would crash).
constexpr HRESULT kReleasedObjectResult = DIERR_NOTINITIALIZED;

class InputDevice final : public ComObject<InputDevice, IDirectInputDevice7A> {
 public:
  static constexpr std::string_view kInterfaceName = "IDirectInputDevice7A";
  static constexpr const IID* kInterfaces[] = {&IID_IDirectInputDevice7A};
  static constexpr HRESULT kReleasedResult = kReleasedObjectResult;

  // The keyboard when `joystick` is empty. The device holds a reference to `parent`.
  InputDevice(ComLifetime* parent, std::optional<JoystickInfo> joystick);

  HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) override;
  HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
  HRESULT Acquire() override;
  HRESULT Unacquire() override;
  HRESULT GetDeviceState(DWORD size, LPVOID data) override;
  HRESULT SetDataFormat(LPCDIDATAFORMAT format) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA instance) override;
  HRESULT Poll() override;

 protected:
  void OnFinalRelease() override;

 private:
  static constexpr int kAxes = 8;

  void OnForegroundChanged(const ForegroundState& foreground);
  bool InForeground() const;
  // Checks a property record and finds the axes it names (one bit per axis).
  HRESULT FindAxes(REFGUID property, const DIPROPHEADER* header, unsigned& axes) const;
  void FillKeyboardState(std::uint8_t* data) const;
  // False when the joystick is no longer attached.
  bool FillJoystickState(std::uint8_t* data) const;

  ComLifetime* parent_;
  std::optional<JoystickInfo> joystick_;
  std::optional<BoundFormat> format_;
  HWND window_ = nullptr;
  DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  bool acquired_ = false;
  // The acquisition was taken away when the window left the foreground, and no state
  // read has reported it yet.
  bool lost_ = false;
  std::array<AxisSettings, kAxes> axes_{};
  int foreground_listener_ = 0;
};

// Releases every device still alive, for the platform's reset.
void ReleaseLiveDevices();

}  // namespace orv::platform::dinput
