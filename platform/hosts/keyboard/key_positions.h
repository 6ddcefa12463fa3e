// Key positions for the hosts: each key of a PC keyboard by its USB HID usage (the page
// in the high 16 bits: 0x07 keyboard, 0x0C consumer, 0x01 generic desktop) and by the
// name the browser's KeyboardEvent.code gives it, with its DirectInput key code. Both
// name a place on the keyboard, not what a layout prints on it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace orv::platform::keys {

constexpr std::uint32_t kKeyboardPage = 0x07'0000;
constexpr std::uint32_t kConsumerPage = 0x0C'0000;
constexpr std::uint32_t kGenericDesktopPage = 0x01'0000;

struct KeyPosition {
  std::uint32_t usage;    // page << 16 | usage id
  std::string_view code;  // KeyboardEvent.code; empty where the browser names the key
                          // by another usage (the same key under two usages)
  std::uint8_t dik;       // DirectInput key code
};

// Every key DirectInput has a code for.
std::span<const KeyPosition> KeyPositions();

// The DirectInput key code of a usage, or 0 for a key DirectInput has no code for.
std::uint8_t DikFromUsage(std::uint32_t usage);

// The DirectInput key code of a KeyboardEvent.code, or 0.
std::uint8_t DikFromCode(std::string_view code);

}  // namespace orv::platform::keys
