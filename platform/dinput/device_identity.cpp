#include "dinput/device_identity.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace orv::platform::dinput {
namespace {

constexpr GUID kJoystickInstanceBase = {
    0, 0x4F52, 0x4A53, {'J', 'O', 'Y', 'S', 'T', 'I', 'C', 'K'}};

void CopyName(std::string_view name, CHAR (&destination)[MAX_PATH]) {
  const std::size_t length = std::min<std::size_t>(name.size(), MAX_PATH - 1);
  std::memcpy(destination, name.data(), length);
  destination[length] = '\0';
}

void Clear(DIDEVICEINSTANCEA& instance) {
  std::memset(&instance, 0, sizeof(instance));
  instance.dwSize = sizeof(instance);
}

}  // namespace

GUID JoystickInstanceGuid(std::uint32_t instance_id) {
  GUID guid = kJoystickInstanceBase;
  guid.Data1 = instance_id;
  return guid;
}

std::optional<std::uint32_t> JoystickInstanceId(REFGUID guid) {
  GUID base = guid;
  base.Data1 = 0;
  if (!IsEqualGUID(base, kJoystickInstanceBase))
    return std::nullopt;
  return guid.Data1;
}

void DescribeKeyboard(DIDEVICEINSTANCEA& instance) {
  Clear(instance);
  instance.guidInstance = GUID_SysKeyboard;
  instance.guidProduct = GUID_SysKeyboard;
  instance.dwDevType = DIDEVTYPE_KEYBOARD | (DIDEVTYPEKEYBOARD_PCENH << 8);
  CopyName("Keyboard", instance.tszInstanceName);
  CopyName("Keyboard", instance.tszProductName);
}

void DescribeJoystick(const JoystickInfo& joystick, DIDEVICEINSTANCEA& instance) {
  Clear(instance);
  instance.guidInstance = JoystickInstanceGuid(joystick.instance_id);
  // Windows builds product GUIDs as {PIDVID-0000-0000-0000-"PIDVID"}; the host gives no
  // vendor or product number, so the name's hash stands in for them.
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : joystick.name)
    hash = (hash ^ c) * 16777619u;
  instance.guidProduct = {hash, 0, 0, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}};
  instance.dwDevType = DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_TRADITIONAL << 8);
  CopyName(joystick.name, instance.tszInstanceName);
  CopyName(joystick.name, instance.tszProductName);
}

}  // namespace orv::platform::dinput
