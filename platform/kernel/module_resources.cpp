// GetModuleHandleA and the resource functions over the program's resource table.
#include "core/open_call.h"
#include "kernel/resource_table.h"
#include "win/kernel.h"

using orv::platform::OpenCall;
using orv::platform::ProgramModule;

namespace {

// Only the program's own module holds resources; null stands for it, as on Windows.
bool IsProgramModule(HMODULE module) {
  return module == nullptr || module == ProgramModule();
}

// LoadResource's answer for an empty resource: Windows hands out a non-null pointer.
const std::uint8_t kEmptyResource = 0;

}  // namespace

HMODULE GetModuleHandleA(LPCSTR module_name) {
  if (auto early = OpenCall(nullptr, "GetModuleHandleA", module_name))
    return *early;
  // Only the program itself is loaded; no other module is known by name.
  return module_name == nullptr ? ProgramModule() : nullptr;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (auto early = OpenCall(nullptr, "FindResourceA", module, name, type))
    return *early;
  if (!IsProgramModule(module))
    return nullptr;
  return orv::platform::FindResourceEntry(type, name);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  if (auto early = OpenCall(nullptr, "LoadResource", module, resource))
    return *early;
  if (!IsProgramModule(module))
    return nullptr;
  auto bytes = orv::platform::ResourceBytes(resource);
  if (!bytes)
    return nullptr;
  if (bytes->empty())
    return const_cast<std::uint8_t*>(&kEmptyResource);
  // As on 32-bit Windows, the loaded resource is the address of its data.
  return const_cast<std::uint8_t*>(bytes->data());
}

LPVOID LockResource(HGLOBAL resource_data) {
  if (auto early = OpenCall(nullptr, "LockResource", resource_data))
    return *early;
  return resource_data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  if (auto early = OpenCall(DWORD{0}, "SizeofResource", module, resource))
    return *early;
  if (!IsProgramModule(module))
    return 0;
  auto bytes = orv::platform::ResourceBytes(resource);
  return bytes ? static_cast<DWORD>(bytes->size()) : 0;
}
