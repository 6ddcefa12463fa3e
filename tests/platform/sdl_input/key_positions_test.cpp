#include <SDL_keyboard.h>

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "hosts/sdl/sdl_input.h"
#include "win/dinput.h"

namespace {

using orv::platform::sdl::DikFromScancode;

TEST(KeyPositionsTest, ScancodesNameTheKeyInTheSamePlace) {
  const std::pair<SDL_Scancode, int> cases[] = {
      // Letters by position: the key right of T is DIK_Y whatever a layout prints on it.
      {SDL_SCANCODE_Y, DIK_Y},
      {SDL_SCANCODE_Z, DIK_Z},
      {SDL_SCANCODE_A, DIK_A},
      {SDL_SCANCODE_Q, DIK_Q},
      {SDL_SCANCODE_M, DIK_M},
      {SDL_SCANCODE_1, DIK_1},
      {SDL_SCANCODE_0, DIK_0},
      {SDL_SCANCODE_F1, DIK_F1},
      {SDL_SCANCODE_F10, DIK_F10},
      {SDL_SCANCODE_F11, DIK_F11},
      {SDL_SCANCODE_F12, DIK_F12},
      {SDL_SCANCODE_F15, DIK_F15},
      {SDL_SCANCODE_UP, DIK_UP},
      {SDL_SCANCODE_DOWN, DIK_DOWN},
      {SDL_SCANCODE_LEFT, DIK_LEFT},
      {SDL_SCANCODE_RIGHT, DIK_RIGHT},
      {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
      {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
      {SDL_SCANCODE_GRAVE, DIK_GRAVE},
      {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},
      {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},
      {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
      {SDL_SCANCODE_RETURN, DIK_RETURN},
      {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
      {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
      {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
      {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
      {SDL_SCANCODE_RALT, DIK_RMENU},
      {SDL_SCANCODE_LGUI, DIK_LWIN},
      {SDL_SCANCODE_RGUI, DIK_RWIN},
      {SDL_SCANCODE_APPLICATION, DIK_APPS},
      {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
      {SDL_SCANCODE_INTERNATIONAL1, DIK_ABNT_C1},
      {SDL_SCANCODE_INTERNATIONAL3, DIK_YEN},
      {SDL_SCANCODE_INTERNATIONAL4, DIK_CONVERT},
      {SDL_SCANCODE_F24, 0},
      {SDL_SCANCODE_UNKNOWN, 0},
      {SDL_NUM_SCANCODES, 0},
  };
  for (const auto& [scancode, key] : cases) {
    EXPECT_EQ(DikFromScancode(scancode), key) << SDL_GetScancodeName(scancode);
  }
}

TEST(KeyPositionsTest, NoTwoKeysShareACodeExceptTheSameKeyUnderTwoNames) {
  // The ISO key beside Enter is the US backslash; Print Screen is SysRq; two mute keys.
  const std::set<int> shared = {DIK_BACKSLASH, DIK_SYSRQ, DIK_MUTE};
  std::map<int, int> uses;
  int mapped = 0;
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const int key = DikFromScancode(static_cast<SDL_Scancode>(scancode));
    if (key == 0)
      continue;
    ++mapped;
    ++uses[key];
  }
  for (const auto& [key, count] : uses) {
    EXPECT_EQ(count, shared.contains(key) ? 2 : 1) << "DIK code " << key;
  }
  EXPECT_GE(mapped, 104) << "a full-size keyboard";
}

}  // namespace
