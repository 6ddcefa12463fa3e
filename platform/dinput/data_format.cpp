#include "dinput/data_format.h"

#include <array>

namespace orv::platform::dinput {
namespace {

constexpr std::array<DeviceObject, 256> MakeKeyboardObjects() {
  std::array<DeviceObject, 256> objects{};
  for (int key = 0; key < 256; ++key) {
    objects[key] = {&GUID_Key, DIDFT_PSHBUTTON, WORD(key), ObjectKind::kButton, key};
  }
  return objects;
}

constexpr std::array<DeviceObject, 44> MakeJoystickObjects() {
  std::array<DeviceObject, 44> objects{{
      {&GUID_XAxis, DIDFT_ABSAXIS, 0, ObjectKind::kAxis, 0},
      {&GUID_YAxis, DIDFT_ABSAXIS, 1, ObjectKind::kAxis, 1},
      {&GUID_ZAxis, DIDFT_ABSAXIS, 2, ObjectKind::kAxis, 2},
      {&GUID_RxAxis, DIDFT_ABSAXIS, 3, ObjectKind::kAxis, 3},
      {&GUID_RyAxis, DIDFT_ABSAXIS, 4, ObjectKind::kAxis, 4},
      {&GUID_RzAxis, DIDFT_ABSAXIS, 5, ObjectKind::kAxis, 5},
      {&GUID_Slider, DIDFT_ABSAXIS, 6, ObjectKind::kAxis, 6},
      {&GUID_Slider, DIDFT_ABSAXIS, 7, ObjectKind::kAxis, 7},
  }};
  for (int hat = 0; hat < 4; ++hat) {
    objects[8 + hat] = {&GUID_POV, DIDFT_POV, WORD(hat), ObjectKind::kPov, hat};
  }
  for (int button = 0; button < 32; ++button) {
    objects[12 + button] = {&GUID_Button, DIDFT_PSHBUTTON, WORD(button), ObjectKind::kButton,
                            button};
  }
  return objects;
}

constexpr auto kKeyboardObjects = MakeKeyboardObjects();
constexpr auto kJoystickObjects = MakeJoystickObjects();

bool Matches(const DIOBJECTDATAFORMAT& wanted, const DeviceObject& object) {
  if (wanted.pguid != nullptr && !IsEqualGUID(*wanted.pguid, *object.type))
    return false;
  const DWORD wanted_type = DIDFT_GETTYPE(wanted.dwType) & (DIDFT_AXIS | DIDFT_BUTTON | DIDFT_POV);
  if (wanted_type != 0 && (wanted_type & object.type_flags) == 0)
    return false;
  const bool any_instance = (wanted.dwType & DIDFT_ANYINSTANCE) == DIDFT_ANYINSTANCE;
  return any_instance || DIDFT_GETINSTANCE(wanted.dwType) == object.instance;
}

}  // namespace

std::span<const DeviceObject> KeyboardDeviceObjects() {
  return kKeyboardObjects;
}
std::span<const DeviceObject> JoystickDeviceObjects() {
  return kJoystickObjects;
}

const BoundObject* BoundFormat::AtOffset(DWORD offset) const {
  for (const auto& object : objects) {
    if (object.offset == offset)
      return &object;
  }
  return nullptr;
}

std::optional<BoundFormat> BindDataFormat(const DIDATAFORMAT& format,
                                          std::span<const DeviceObject> device_objects) {
  if (format.dwSize != sizeof(DIDATAFORMAT) || format.dwObjSize != sizeof(DIOBJECTDATAFORMAT) ||
      format.dwDataSize % 4 != 0 || (format.dwNumObjs != 0 && format.rgodf == nullptr)) {
    return std::nullopt;
  }
  BoundFormat bound;
  bound.data_size = format.dwDataSize;
  std::vector<bool> taken(device_objects.size(), false);
  for (DWORD i = 0; i < format.dwNumObjs; ++i) {
    const DIOBJECTDATAFORMAT& wanted = format.rgodf[i];
    std::size_t match = 0;
    while (match < device_objects.size() &&
           (taken[match] || !Matches(wanted, device_objects[match]))) {
      ++match;
    }
    if (match == device_objects.size()) {
      if ((wanted.dwType & DIDFT_OPTIONAL) != 0)
        continue;
      return std::nullopt;
    }
    const DeviceObject& object = device_objects[match];
    // Axes and hats are DWORD values on DWORD boundaries; buttons are single bytes.
    const DWORD size = object.kind == ObjectKind::kButton ? 1 : 4;
    if (wanted.dwOfs % size != 0 || format.dwDataSize < size ||
        wanted.dwOfs > format.dwDataSize - size || bound.AtOffset(wanted.dwOfs) != nullptr) {
      return std::nullopt;
    }
    taken[match] = true;
    bound.objects.push_back({object.kind, object.index, wanted.dwOfs});
  }
  return bound;
}

}  // namespace orv::platform::dinput
