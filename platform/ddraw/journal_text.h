// Argument texts for the call journal of the DirectDraw entry points.
#pragma once

#include <cstdio>
#include <string>

#include "win/base.h"

namespace orv::platform {

inline std::string HexText(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

inline std::string RectText(const RECT* rect) {
  if (rect == nullptr)
    return "null";
  return "(" + std::to_string(rect->left) + " " + std::to_string(rect->top) + " " +
         std::to_string(rect->right) + " " + std::to_string(rect->bottom) + ")";
}

inline const void* ObjectText(const void* object) {
  return object;
}

}  // namespace orv::platform
