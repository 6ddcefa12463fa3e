// Safe renderings of string arguments for the call journal: a null pointer or an
// integer resource id must never be read as text.
#pragma once

#include <string>

#include "win/base.h"

namespace orv::platform {

// The text, or "(null)".
inline std::string JournalText(LPCSTR text) {
  return text != nullptr ? text : "(null)";
}

// A resource name or type: the string, or "#id" for MAKEINTRESOURCE values.
inline std::string ResourceNameText(LPCSTR name) {
  if (name == nullptr)
    return "(null)";
  if (IS_INTRESOURCE(name))
    return "#" + std::to_string(reinterpret_cast<UINT_PTR>(name));
  return name;
}

}  // namespace orv::platform
