// A device's objects (keys, axes, buttons, point-of-view hats) and the binding of a
// program's DIDATAFORMAT to them, as SetDataFormat establishes it.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "win/dinput.h"

namespace orv::platform::dinput {

enum class ObjectKind { kAxis, kButton, kPov };

struct DeviceObject {
  const GUID* type;  // GUID_XAxis, GUID_Key, GUID_Button, ...
  DWORD type_flags;  // DIDFT_ABSAXIS, DIDFT_PSHBUTTON or DIDFT_POV
  WORD instance;
  ObjectKind kind;
  int index;  // key code, joystick axis (0 = X ... 7 = second slider), button or hat
};

// The 256 keys, instance and index = key code.
std::span<const DeviceObject> KeyboardDeviceObjects();
// X, Y, Z, Rx, Ry, Rz, two sliders, four hats and 32 buttons.
std::span<const DeviceObject> JoystickDeviceObjects();

struct BoundObject {
  ObjectKind kind;
  int index;
  DWORD offset;  // where its value goes in the program's record
};

struct BoundFormat {
  DWORD data_size = 0;
  std::vector<BoundObject> objects;

  // The object whose value goes at `offset`, if any.
  const BoundObject* AtOffset(DWORD offset) const;
};

// Binds each object of `format` to the first unbound device object that matches its type
// GUID, type and instance. Nullopt when the record is malformed, a value would not fit the
// data, or an object that is not optional finds no match (DIERR_INVALIDPARAM on Windows).
std::optional<BoundFormat> BindDataFormat(const DIDATAFORMAT& format,
                                          std::span<const DeviceObject> device_objects);

}  // namespace orv::platform::dinput
