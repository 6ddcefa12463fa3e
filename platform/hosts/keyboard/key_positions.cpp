#include "hosts/keyboard/key_positions.h"

#include "win/dinput.h"

namespace orv::platform::keys {
namespace {

constexpr std::uint32_t Key(std::uint32_t id) {
  return kKeyboardPage | id;
}
constexpr std::uint32_t Consumer(std::uint32_t id) {
  return kConsumerPage | id;
}

// DirectInput's key codes are PC scan codes; the usages are those of the USB HID tables.
constexpr KeyPosition kPositions[] = {
    {Key(0x04), "KeyA", DIK_A},
    {Key(0x05), "KeyB", DIK_B},
    {Key(0x06), "KeyC", DIK_C},
    {Key(0x07), "KeyD", DIK_D},
    {Key(0x08), "KeyE", DIK_E},
    {Key(0x09), "KeyF", DIK_F},
    {Key(0x0A), "KeyG", DIK_G},
    {Key(0x0B), "KeyH", DIK_H},
    {Key(0x0C), "KeyI", DIK_I},
    {Key(0x0D), "KeyJ", DIK_J},
    {Key(0x0E), "KeyK", DIK_K},
    {Key(0x0F), "KeyL", DIK_L},
    {Key(0x10), "KeyM", DIK_M},
    {Key(0x11), "KeyN", DIK_N},
    {Key(0x12), "KeyO", DIK_O},
    {Key(0x13), "KeyP", DIK_P},
    {Key(0x14), "KeyQ", DIK_Q},
    {Key(0x15), "KeyR", DIK_R},
    {Key(0x16), "KeyS", DIK_S},
    {Key(0x17), "KeyT", DIK_T},
    {Key(0x18), "KeyU", DIK_U},
    {Key(0x19), "KeyV", DIK_V},
    {Key(0x1A), "KeyW", DIK_W},
    {Key(0x1B), "KeyX", DIK_X},
    {Key(0x1C), "KeyY", DIK_Y},
    {Key(0x1D), "KeyZ", DIK_Z},
    {Key(0x1E), "Digit1", DIK_1},
    {Key(0x1F), "Digit2", DIK_2},
    {Key(0x20), "Digit3", DIK_3},
    {Key(0x21), "Digit4", DIK_4},
    {Key(0x22), "Digit5", DIK_5},
    {Key(0x23), "Digit6", DIK_6},
    {Key(0x24), "Digit7", DIK_7},
    {Key(0x25), "Digit8", DIK_8},
    {Key(0x26), "Digit9", DIK_9},
    {Key(0x27), "Digit0", DIK_0},
    {Key(0x28), "Enter", DIK_RETURN},
    {Key(0x29), "Escape", DIK_ESCAPE},
    {Key(0x2A), "Backspace", DIK_BACK},
    {Key(0x2B), "Tab", DIK_TAB},
    {Key(0x2C), "Space", DIK_SPACE},
    {Key(0x2D), "Minus", DIK_MINUS},
    {Key(0x2E), "Equal", DIK_EQUALS},
    {Key(0x2F), "BracketLeft", DIK_LBRACKET},
    {Key(0x30), "BracketRight", DIK_RBRACKET},
    {Key(0x31), "Backslash", DIK_BACKSLASH},
    // The ISO key beside Enter sends the same scan code as the US backslash.
    {Key(0x32), "", DIK_BACKSLASH},
    {Key(0x33), "Semicolon", DIK_SEMICOLON},
    {Key(0x34), "Quote", DIK_APOSTROPHE},
    {Key(0x35), "Backquote", DIK_GRAVE},
    {Key(0x36), "Comma", DIK_COMMA},
    {Key(0x37), "Period", DIK_PERIOD},
    {Key(0x38), "Slash", DIK_SLASH},
    {Key(0x39), "CapsLock", DIK_CAPITAL},
    {Key(0x3A), "F1", DIK_F1},
    {Key(0x3B), "F2", DIK_F2},
    {Key(0x3C), "F3", DIK_F3},
    {Key(0x3D), "F4", DIK_F4},
    {Key(0x3E), "F5", DIK_F5},
    {Key(0x3F), "F6", DIK_F6},
    {Key(0x40), "F7", DIK_F7},
    {Key(0x41), "F8", DIK_F8},
    {Key(0x42), "F9", DIK_F9},
    {Key(0x43), "F10", DIK_F10},
    {Key(0x44), "F11", DIK_F11},
    {Key(0x45), "F12", DIK_F12},
    {Key(0x46), "PrintScreen", DIK_SYSRQ},
    {Key(0x47), "ScrollLock", DIK_SCROLL},
    {Key(0x48), "Pause", DIK_PAUSE},
    {Key(0x49), "Insert", DIK_INSERT},
    {Key(0x4A), "Home", DIK_HOME},
    {Key(0x4B), "PageUp", DIK_PRIOR},
    {Key(0x4C), "Delete", DIK_DELETE},
    {Key(0x4D), "End", DIK_END},
    {Key(0x4E), "PageDown", DIK_NEXT},
    {Key(0x4F), "ArrowRight", DIK_RIGHT},
    {Key(0x50), "ArrowLeft", DIK_LEFT},
    {Key(0x51), "ArrowDown", DIK_DOWN},
    {Key(0x52), "ArrowUp", DIK_UP},
    {Key(0x53), "NumLock", DIK_NUMLOCK},
    {Key(0x54), "NumpadDivide", DIK_DIVIDE},
    {Key(0x55), "NumpadMultiply", DIK_MULTIPLY},
    {Key(0x56), "NumpadSubtract", DIK_SUBTRACT},
    {Key(0x57), "NumpadAdd", DIK_ADD},
    {Key(0x58), "NumpadEnter", DIK_NUMPADENTER},
    {Key(0x59), "Numpad1", DIK_NUMPAD1},
    {Key(0x5A), "Numpad2", DIK_NUMPAD2},
    {Key(0x5B), "Numpad3", DIK_NUMPAD3},
    {Key(0x5C), "Numpad4", DIK_NUMPAD4},
    {Key(0x5D), "Numpad5", DIK_NUMPAD5},
    {Key(0x5E), "Numpad6", DIK_NUMPAD6},
    {Key(0x5F), "Numpad7", DIK_NUMPAD7},
    {Key(0x60), "Numpad8", DIK_NUMPAD8},
    {Key(0x61), "Numpad9", DIK_NUMPAD9},
    {Key(0x62), "Numpad0", DIK_NUMPAD0},
    {Key(0x63), "NumpadDecimal", DIK_DECIMAL},
    {Key(0x64), "IntlBackslash", DIK_OEM_102},
    {Key(0x65), "ContextMenu", DIK_APPS},
    {Key(0x66), "Power", DIK_POWER},
    {Key(0x67), "NumpadEqual", DIK_NUMPADEQUALS},
    {Key(0x68), "F13", DIK_F13},
    {Key(0x69), "F14", DIK_F14},
    {Key(0x6A), "F15", DIK_F15},
    {Key(0x7F), "AudioVolumeMute", DIK_MUTE},
    {Key(0x80), "AudioVolumeUp", DIK_VOLUMEUP},
    {Key(0x81), "AudioVolumeDown", DIK_VOLUMEDOWN},
    {Key(0x85), "NumpadComma", DIK_NUMPADCOMMA},
    // Japanese and Brazilian keys; Ro has the same scan code as ABNT C1.
    {Key(0x87), "IntlRo", DIK_ABNT_C1},
    {Key(0x88), "KanaMode", DIK_KANA},
    {Key(0x89), "IntlYen", DIK_YEN},
    {Key(0x8A), "Convert", DIK_CONVERT},
    {Key(0x8B), "NonConvert", DIK_NOCONVERT},
    {Key(0x9A), "", DIK_SYSRQ},
    {Key(0xE0), "ControlLeft", DIK_LCONTROL},
    {Key(0xE1), "ShiftLeft", DIK_LSHIFT},
    {Key(0xE2), "AltLeft", DIK_LMENU},
    {Key(0xE3), "MetaLeft", DIK_LWIN},
    {Key(0xE4), "ControlRight", DIK_RCONTROL},
    {Key(0xE5), "ShiftRight", DIK_RSHIFT},
    {Key(0xE6), "AltRight", DIK_RMENU},
    {Key(0xE7), "MetaRight", DIK_RWIN},
    // Media and browser keys.
    {Consumer(0xB5), "MediaTrackNext", DIK_NEXTTRACK},
    {Consumer(0xB6), "MediaTrackPrevious", DIK_PREVTRACK},
    {Consumer(0xB7), "MediaStop", DIK_MEDIASTOP},
    {Consumer(0xCD), "MediaPlayPause", DIK_PLAYPAUSE},
    {Consumer(0xE2), "", DIK_MUTE},
    {Consumer(0x183), "MediaSelect", DIK_MEDIASELECT},
    {Consumer(0x18A), "LaunchMail", DIK_MAIL},
    {Consumer(0x192), "LaunchApp2", DIK_CALCULATOR},
    {Consumer(0x194), "LaunchApp1", DIK_MYCOMPUTER},
    {Consumer(0x221), "BrowserSearch", DIK_WEBSEARCH},
    {Consumer(0x223), "BrowserHome", DIK_WEBHOME},
    {Consumer(0x224), "BrowserBack", DIK_WEBBACK},
    {Consumer(0x225), "BrowserForward", DIK_WEBFORWARD},
    {Consumer(0x226), "BrowserStop", DIK_WEBSTOP},
    {Consumer(0x227), "BrowserRefresh", DIK_WEBREFRESH},
    {Consumer(0x22A), "BrowserFavorites", DIK_WEBFAVORITES},
    {kGenericDesktopPage | 0x82, "Sleep", DIK_SLEEP},
};

}  // namespace

std::span<const KeyPosition> KeyPositions() {
  return kPositions;
}

std::uint8_t DikFromUsage(std::uint32_t usage) {
  for (const KeyPosition& position : kPositions) {
    if (position.usage == usage)
      return position.dik;
  }
  return 0;
}

std::uint8_t DikFromCode(std::string_view code) {
  if (code.empty())
    return 0;
  for (const KeyPosition& position : kPositions) {
    if (position.code == code)
      return position.dik;
  }
  return 0;
}

}  // namespace orv::platform::keys
