#include "hosts/sdl/sdl_input.h"

#include <SDL.h>

#include <algorithm>
#include <map>
#include <utility>

#include "hosts/keyboard/key_positions.h"

namespace orv::platform::sdl {
namespace {

// SDL's scancodes below 0x100 are the USB HID keyboard page's usage ids; above it SDL
// numbers keys of other pages its own way.
constexpr std::pair<SDL_Scancode, std::uint32_t> kOtherPages[] = {
    {SDL_SCANCODE_AUDIONEXT, keys::kConsumerPage | 0xB5},
    {SDL_SCANCODE_AUDIOPREV, keys::kConsumerPage | 0xB6},
    {SDL_SCANCODE_AUDIOSTOP, keys::kConsumerPage | 0xB7},
    {SDL_SCANCODE_AUDIOPLAY, keys::kConsumerPage | 0xCD},
    {SDL_SCANCODE_AUDIOMUTE, keys::kConsumerPage | 0xE2},
    {SDL_SCANCODE_MEDIASELECT, keys::kConsumerPage | 0x183},
    {SDL_SCANCODE_MAIL, keys::kConsumerPage | 0x18A},
    {SDL_SCANCODE_CALCULATOR, keys::kConsumerPage | 0x192},
    {SDL_SCANCODE_COMPUTER, keys::kConsumerPage | 0x194},
    {SDL_SCANCODE_AC_SEARCH, keys::kConsumerPage | 0x221},
    {SDL_SCANCODE_AC_HOME, keys::kConsumerPage | 0x223},
    {SDL_SCANCODE_AC_BACK, keys::kConsumerPage | 0x224},
    {SDL_SCANCODE_AC_FORWARD, keys::kConsumerPage | 0x225},
    {SDL_SCANCODE_AC_STOP, keys::kConsumerPage | 0x226},
    {SDL_SCANCODE_AC_REFRESH, keys::kConsumerPage | 0x227},
    {SDL_SCANCODE_AC_BOOKMARKS, keys::kConsumerPage | 0x22A},
    {SDL_SCANCODE_SLEEP, keys::kGenericDesktopPage | 0x82},
};

using KeyTable = std::array<std::uint8_t, SDL_NUM_SCANCODES>;

KeyTable MakeKeyTable() {
  KeyTable table{};
  for (int scancode = 0; scancode < 0x100; ++scancode)
    table[scancode] = keys::DikFromUsage(keys::kKeyboardPage | scancode);
  for (const auto& [scancode, usage] : kOtherPages)
    table[scancode] = keys::DikFromUsage(usage);
  return table;
}

const KeyTable& KeyTableOfScancodes() {
  static const KeyTable table = MakeKeyTable();
  return table;
}

// SDL's hat positions in DirectInput's hundredths of a degree, clockwise from forward.
std::int32_t HatDirection(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP:
      return 0;
    case SDL_HAT_RIGHTUP:
      return 4500;
    case SDL_HAT_RIGHT:
      return 9000;
    case SDL_HAT_RIGHTDOWN:
      return 13500;
    case SDL_HAT_DOWN:
      return 18000;
    case SDL_HAT_LEFTDOWN:
      return 22500;
    case SDL_HAT_LEFT:
      return 27000;
    case SDL_HAT_LEFTUP:
      return 31500;
    default:
      return -1;
  }
}

// The joysticks opened so far, by instance id.
std::map<SDL_JoystickID, SDL_Joystick*>& OpenJoysticks() {
  static std::map<SDL_JoystickID, SDL_Joystick*> joysticks;
  return joysticks;
}

bool StartJoysticks() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0)
    return true;
  return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

SDL_Joystick* OpenByIndex(int index) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
  auto& open = OpenJoysticks();
  if (auto it = open.find(id); it != open.end())
    return it->second;
  SDL_Joystick* joystick = SDL_JoystickOpen(index);
  if (joystick != nullptr)
    open[id] = joystick;
  return joystick;
}

}  // namespace

std::uint8_t DikFromScancode(SDL_Scancode scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
    return 0;
  return KeyTableOfScancodes()[scancode];
}

void ReadKeyboardState(std::array<std::uint8_t, 256>& keys) {
  keys.fill(0);
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  const KeyTable& table = KeyTableOfScancodes();
  for (int scancode = 0; scancode < std::min(count, int(SDL_NUM_SCANCODES)); ++scancode) {
    const std::uint8_t key = table[scancode];
    if (state[scancode] != 0 && key != 0)
      keys[key] = 0x80;
  }
}

std::vector<JoystickInfo> ListJoysticks() {
  std::vector<JoystickInfo> joysticks;
  if (!StartJoysticks())
    return joysticks;
  SDL_JoystickUpdate();
  for (int index = 0; index < SDL_NumJoysticks(); ++index) {
    SDL_Joystick* joystick = OpenByIndex(index);
    if (joystick == nullptr)
      continue;
    JoystickInfo info;
    info.instance_id = static_cast<std::uint32_t>(SDL_JoystickInstanceID(joystick));
    const char* name = SDL_JoystickName(joystick);
    info.name = name != nullptr ? name : "Joystick";
    info.axis_count = std::min(SDL_JoystickNumAxes(joystick), JoystickReading::kAxes);
    info.button_count = std::min(SDL_JoystickNumButtons(joystick), JoystickReading::kButtons);
    info.hat_count = std::min(SDL_JoystickNumHats(joystick), JoystickReading::kHats);
    joysticks.push_back(std::move(info));
  }
  return joysticks;
}

bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) {
  if (!StartJoysticks())
    return false;
  SDL_JoystickUpdate();
  const auto id = static_cast<SDL_JoystickID>(instance_id);
  auto& open = OpenJoysticks();
  auto it = open.find(id);
  if (it == open.end()) {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == id)
        OpenByIndex(index);
    }
    it = open.find(id);
    if (it == open.end())
      return false;
  }
  SDL_Joystick* joystick = it->second;
  if (!SDL_JoystickGetAttached(joystick)) {
    SDL_JoystickClose(joystick);
    open.erase(it);
    return false;
  }
  reading = JoystickReading();
  const int axes = std::min(SDL_JoystickNumAxes(joystick), JoystickReading::kAxes);
  for (int axis = 0; axis < axes; ++axis)
    reading.axes[axis] = SDL_JoystickGetAxis(joystick, axis);
  const int buttons = std::min(SDL_JoystickNumButtons(joystick), JoystickReading::kButtons);
  for (int button = 0; button < buttons; ++button) {
    reading.buttons[button] = SDL_JoystickGetButton(joystick, button) != 0;
  }
  const int hats = std::min(SDL_JoystickNumHats(joystick), JoystickReading::kHats);
  for (int hat = 0; hat < hats; ++hat)
    reading.hats[hat] = HatDirection(SDL_JoystickGetHat(joystick, hat));
  return true;
}

}  // namespace orv::platform::sdl
