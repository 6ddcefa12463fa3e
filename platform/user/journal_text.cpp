#include "user/journal_text.h"

#include <cstdio>

namespace orv::platform::user {

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%04llX", static_cast<unsigned long long>(value));
  return text;
}

std::string HandleText(const void* handle) {
  if (handle == nullptr)
    return "NULL";
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
  return text;
}

std::string NameText(LPCSTR name) {
  if (name == nullptr)
    return "NULL";
  if (IS_INTRESOURCE(name))
    return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return std::string("\"") + name + "\"";
}

}  // namespace orv::platform::user
