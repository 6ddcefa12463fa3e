// How the call journal writes arguments, one way for every service:
//   null pointers          NULL
//   handles, pointers      0x7f3a10 (the address in lowercase hexadecimal)
//   strings (const char*)  "text" in quotes, #n for an integer resource id or atom
//   rectangles (RECT*)     (left top right bottom)
//   GUIDs                  {6F1D2B61-D5A0-11CF-BFC7-444553540000}
//   numbers                decimal, or hexadecimal when given as Hex
//   std::string, string_view: text made already, written as it is
// Any other argument type does not compile.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

#include "win/base.h"

namespace orv::platform {

inline constexpr std::string_view kJournalNull = "NULL";

// A number the journal writes in hexadecimal with at least `digits` digits: flags,
// styles, message numbers ("0x13", or "0x0010" with four digits).
struct Hex {
  constexpr explicit Hex(std::uint64_t value, int digits = 1) : value(value), digits(digits) {}
  std::uint64_t value;
  int digits;
};

namespace journal {

inline void AppendHex(std::string& text, Hex hex) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "0x%0*llX", hex.digits,
                static_cast<unsigned long long>(hex.value));
  text += digits;
}

inline void AppendAddress(std::string& text, const void* address) {
  if (address == nullptr) {
    text += kJournalNull;
    return;
  }
  char digits[24];
  std::snprintf(digits, sizeof digits, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  text += digits;
}

inline void AppendString(std::string& text, const char* string) {
  if (string == nullptr) {
    text += kJournalNull;
  } else if (IS_INTRESOURCE(string)) {
    // Never read as text: the pointer is the number itself.
    text += '#' + std::to_string(reinterpret_cast<std::uintptr_t>(string));
  } else {
    text += '"';
    text += string;
    text += '"';
  }
}

inline void AppendRect(std::string& text, const RECT* rect) {
  if (rect == nullptr) {
    text += kJournalNull;
    return;
  }
  text += '(' + std::to_string(rect->left) + ' ' + std::to_string(rect->top) + ' ' +
          std::to_string(rect->right) + ' ' + std::to_string(rect->bottom) + ')';
}

inline void AppendGuid(std::string& text, const GUID& guid) {
  char digits[40];
  std::snprintf(digits, sizeof digits, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  text += digits;
}

template <typename T>
void Append(std::string& text, const T& value) {
  using Decayed = std::decay_t<T>;
  if constexpr (std::is_same_v<T, Hex>) {
    AppendHex(text, value);
  } else if constexpr (std::is_same_v<T, GUID>) {
    AppendGuid(text, value);
  } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
    text += value;
  } else if constexpr (std::is_null_pointer_v<T>) {
    text += kJournalNull;
  } else if constexpr (std::is_pointer_v<Decayed> &&
                       std::is_same_v<std::remove_cv_t<std::remove_pointer_t<Decayed>>, char>) {
    AppendString(text, value);
  } else if constexpr (std::is_same_v<Decayed, const RECT*> || std::is_same_v<Decayed, RECT*>) {
    AppendRect(text, value);
  } else if constexpr (std::is_pointer_v<Decayed> &&
                       !std::is_function_v<std::remove_pointer_t<Decayed>>) {
    AppendAddress(text, value);
  } else if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    text += std::to_string(value);
  } else {
    static_assert(sizeof(T) == 0, "the journal has no spelling for this argument type");
  }
}
}  // namespace journal

// The arguments as the journal writes them, comma separated.
template <typename... Args>
std::string JournalText(const Args&... args) {
  std::string text;
  [[maybe_unused]] const char* separator = "";
  ((text += separator, journal::Append(text, args), separator = ", "), ...);
  return text;
}

// One field of a record the program passed by pointer, or NULL when it passed none.
template <typename Record, typename Field>
std::string FieldText(const Record* record, Field Record::*field) {
  return record != nullptr ? JournalText(record->*field) : JournalText(nullptr);
}

}  // namespace orv::platform
