#include "kernel/resource_table.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "core/reset.h"

namespace orv::platform {
namespace {

// A resource type or name: an integer id or an upper-case string.
using ResourceKey = std::variant<WORD, std::string>;

struct ResourceEntry {
  ResourceKey type;
  ResourceKey name;
  WORD language = 0;
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
  bool linked = false;
  std::vector<std::uint8_t> copy;  // owned bytes of a registered (not linked) resource
};

// Entries by serial number; the serial is the HRSRC, so a handle of a dropped entry
// simply finds nothing.
struct ResourceTable {
  std::map<UINT_PTR, ResourceEntry> entries;
  UINT_PTR next_serial = 1;
};

ResourceTable& Table() {
  // Function-local, so that registrars running before main() find it constructed.
  static ResourceTable table;
  return table;
}

// Windows keeps resource names in upper case and turns "#123" into the id 123.
ResourceKey KeyOf(LPCSTR text) {
  if (IS_INTRESOURCE(text))
    return static_cast<WORD>(reinterpret_cast<UINT_PTR>(text));
  std::string upper(text);
  if (upper.size() > 1 && upper.size() <= 6 && upper[0] == '#' &&
      std::all_of(upper.begin() + 1, upper.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    unsigned long id = std::stoul(upper.substr(1));
    if (id <= 0xFFFF)
      return static_cast<WORD>(id);
  }
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

void Add(LPCSTR type, LPCSTR name, WORD language, const void* data, DWORD size, bool linked) {
  if (type == nullptr || name == nullptr)
    return;
  ResourceEntry entry;
  entry.type = KeyOf(type);
  entry.name = KeyOf(name);
  entry.language = language;
  entry.size = size;
  entry.linked = linked;
  if (linked) {
    entry.data = static_cast<const std::uint8_t*>(data);
  } else if (size > 0 && data != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    entry.copy.assign(bytes, bytes + size);
  } else {
    entry.size = 0;
  }
  ResourceTable& table = Table();
  ResourceEntry& stored = table.entries[table.next_serial++];
  stored = std::move(entry);
  if (!stored.linked)
    stored.data = stored.copy.data();
}

void DropRegisteredResources() {
  std::erase_if(Table().entries, [](const auto& item) { return !item.second.linked; });
}

const ResetHook kReset(ResetOrder::kKernel, &DropRegisteredResources);

}  // namespace

HMODULE ProgramModule() {
  // The classic image base of a Windows executable; any fixed non-null value serves.
  return reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x00400000));
}

void RegisterResource(LPCSTR type, LPCSTR name, WORD language, const void* data, DWORD size) {
  Add(type, name, language, data, size, false);
}

void RegisterLinkedResource(LPCSTR type, LPCSTR name, WORD language, const void* data, DWORD size) {
  Add(type, name, language, data, size, true);
}

HRSRC FindResourceEntry(LPCSTR type, LPCSTR name) {
  if (type == nullptr || name == nullptr)
    return nullptr;
  const ResourceKey type_key = KeyOf(type);
  const ResourceKey name_key = KeyOf(name);
  const auto& entries = Table().entries;
  // The newest registration wins.
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->second.type == type_key && it->second.name == name_key) {
      return reinterpret_cast<HRSRC>(it->first);
    }
  }
  return nullptr;
}

std::optional<std::span<const std::uint8_t>> ResourceBytes(HRSRC resource) {
  const auto& entries = Table().entries;
  auto it = entries.find(reinterpret_cast<UINT_PTR>(resource));
  if (it == entries.end())
    return std::nullopt;
  return std::span<const std::uint8_t>(it->second.data, it->second.size);
}

}  // namespace orv::platform
