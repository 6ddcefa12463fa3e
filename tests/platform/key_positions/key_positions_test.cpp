#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "hosts/keyboard/key_positions.h"
#include "win/dinput.h"

namespace {

using orv::platform::keys::DikFromCode;
using orv::platform::keys::DikFromUsage;
using orv::platform::keys::KeyPositions;

TEST(KeyPositionsTest, BrowserCodesNameTheKeyInTheSamePlace) {
  const std::pair<std::string, int> cases[] = {
      // Letters by position: the key right of T is DIK_Y whatever a layout prints on it.
      {"KeyY", DIK_Y},
      {"KeyZ", DIK_Z},
      {"KeyA", DIK_A},
      {"KeyQ", DIK_Q},
      {"Digit1", DIK_1},
      {"Digit0", DIK_0},
      {"Backquote", DIK_GRAVE},
      {"Quote", DIK_APOSTROPHE},
      {"Equal", DIK_EQUALS},
      {"IntlBackslash", DIK_OEM_102},
      {"IntlRo", DIK_ABNT_C1},
      {"IntlYen", DIK_YEN},
      {"Enter", DIK_RETURN},
      {"NumpadEnter", DIK_NUMPADENTER},
      {"Numpad7", DIK_NUMPAD7},
      {"NumpadDecimal", DIK_DECIMAL},
      {"ArrowUp", DIK_UP},
      {"ArrowDown", DIK_DOWN},
      {"ArrowLeft", DIK_LEFT},
      {"ArrowRight", DIK_RIGHT},
      {"PageUp", DIK_PRIOR},
      {"ControlLeft", DIK_LCONTROL},
      {"AltRight", DIK_RMENU},
      {"MetaLeft", DIK_LWIN},
      {"ContextMenu", DIK_APPS},
      {"PrintScreen", DIK_SYSRQ},
      {"F1", DIK_F1},
      {"F15", DIK_F15},
      {"AudioVolumeMute", DIK_MUTE},
      {"MediaPlayPause", DIK_PLAYPAUSE},
      {"BrowserBack", DIK_WEBBACK},
      // Keys DirectInput has no code for, and what is not a code.
      {"F24", 0},
      {"Fn", 0},
      {"Unidentified", 0},
      {"keya", 0},
      {"", 0},
  };
  for (const auto& [code, key] : cases) {
    EXPECT_EQ(DikFromCode(code), key) << code;
  }
}

TEST(KeyPositionsTest, AUsageAndTheBrowsersNameForItGiveTheSameKey) {
  // Usages as the HID tables give them, beside the browser's code for the same key.
  const std::pair<std::uint32_t, std::string> cases[] = {
      {0x07'0004, "KeyA"},          {0x07'001D, "KeyZ"},        {0x07'0027, "Digit0"},
      {0x07'0028, "Enter"},         {0x07'0035, "Backquote"},   {0x07'0039, "CapsLock"},
      {0x07'0046, "PrintScreen"},   {0x07'0052, "ArrowUp"},     {0x07'0058, "NumpadEnter"},
      {0x07'0064, "IntlBackslash"}, {0x07'0087, "IntlRo"},      {0x07'0089, "IntlYen"},
      {0x07'00E3, "MetaLeft"},      {0x07'00E6, "AltRight"},    {0x0C'00B5, "MediaTrackNext"},
      {0x0C'0192, "LaunchApp2"},    {0x0C'0223, "BrowserHome"}, {0x01'0082, "Sleep"},
  };
  for (const auto& [usage, code] : cases) {
    EXPECT_NE(DikFromUsage(usage), 0) << code;
    EXPECT_EQ(DikFromUsage(usage), DikFromCode(code)) << code;
  }
  EXPECT_EQ(DikFromUsage(0x07'0000), 0);
  EXPECT_EQ(DikFromUsage(0x07'0073), 0);  // F24
  EXPECT_EQ(DikFromUsage(0x0C'0004), 0);  // a page with nothing of ours there
}

TEST(KeyPositionsTest, EachKeyOnceAndEveryCodeWithinReachOfTheBrowser) {
  std::set<std::uint32_t> usages;
  std::set<std::string_view> codes;
  std::map<int, int> uses;
  std::set<int> named;
  for (const auto& position : KeyPositions()) {
    EXPECT_NE(position.dik, 0) << std::hex << position.usage;
    EXPECT_TRUE(usages.insert(position.usage).second) << "usage " << std::hex << position.usage;
    if (!position.code.empty()) {
      EXPECT_TRUE(codes.insert(position.code).second) << position.code;
      named.insert(position.dik);
    }
    ++uses[position.dik];
  }
  // The ISO key beside Enter is the US backslash; SysRq is Print Screen; two mute keys.
  const std::set<int> shared = {DIK_BACKSLASH, DIK_SYSRQ, DIK_MUTE};
  for (const auto& [key, count] : uses) {
    EXPECT_EQ(count, shared.contains(key) ? 2 : 1) << "DIK code " << key;
    EXPECT_TRUE(named.contains(key)) << "no browser code gives DIK code " << key;
  }
  EXPECT_GE(named.size(), 104u) << "a full-size keyboard";
}

}  // namespace
