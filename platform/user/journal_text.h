// Argument texts for the call journal of the window layer.
#pragma once

#include <cstdint>
#include <string>

#include "win/base.h"

namespace orv::platform::user {

// "0x0010": message numbers, styles and flags.
std::string Hex(std::uint64_t value);
// Handles as addresses, "NULL" for none.
std::string HandleText(const void* handle);
// A string argument, or "#n" for an integer resource or atom, "NULL" for none.
std::string NameText(LPCSTR name);

}  // namespace orv::platform::user
