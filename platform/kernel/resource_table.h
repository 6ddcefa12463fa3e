// The resources of the program's module, as FindResourceA and LoadImageA see them.
// Resources linked into the executable (see cmake/BitmapResources.cmake) register
// themselves at start-up and stay for the life of the process; tests add their own
// with RegisterResource, which are dropped when the platform is reset.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "win/base.h"

namespace orv::platform {

// The fixed handle of the program's own module (GetModuleHandleA(NULL)).
HMODULE ProgramModule();

// Adds a resource until the next reset; the data is copied. `type` and `name` are
// strings or MAKEINTRESOURCEA ids. A later registration of the same type and name
// hides earlier ones (also linked ones) until it is dropped.
void RegisterResource(LPCSTR type, LPCSTR name, WORD language, const void* data, DWORD size);

// Adds a resource linked into the executable: the data is not copied and must stay
// valid for the life of the process. Kept across resets.
void RegisterLinkedResource(LPCSTR type, LPCSTR name, WORD language, const void* data, DWORD size);

// An entry found by type and name, whatever its language; null when there is none.
// Names and types given as strings match case-insensitively; "#123" stands for id 123.
HRSRC FindResourceEntry(LPCSTR type, LPCSTR name);
// The bytes of an entry; nothing for a handle that names no entry.
std::optional<std::span<const std::uint8_t>> ResourceBytes(HRSRC resource);

}  // namespace orv::platform
