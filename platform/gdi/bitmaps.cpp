// GetStockObject, LoadImageA, GetObjectA and DeleteObject.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/open_call.h"
#include "gdi/dib.h"
#include "gdi/gdi_objects.h"
#include "kernel/resource_table.h"
#include "win/gdi.h"
#include "win/kernel.h"

using orv::platform::OpenCall;

namespace {

// Room for the headers and a full colour table besides the largest pixel data.
constexpr std::uint64_t kMaxBitmapFileSize = orv::platform::kMaxDibBytes + 65536;

std::optional<std::vector<std::uint8_t>> ReadBitmapFile(const char* path) {
  std::error_code error;
  const std::filesystem::path file_path(path);
  if (!std::filesystem::is_regular_file(file_path, error))
    return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(file_path, error);
  if (error || size > kMaxBitmapFileSize)
    return std::nullopt;
  std::ifstream file(file_path, std::ios::binary);
  std::vector<std::uint8_t> bytes(size);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<orv::platform::Dib> LoadDib(HINSTANCE instance, LPCSTR name, UINT flags) {
  if ((flags & LR_LOADFROMFILE) != 0) {
    if (IS_INTRESOURCE(name))
      return std::nullopt;
    auto bytes = ReadBitmapFile(name);
    if (!bytes)
      return std::nullopt;
    return orv::platform::ParseBitmapFile(*bytes);
  }
  // A null instance asks for the system's predefined bitmaps, of which there are none here.
  if (instance != orv::platform::ProgramModule())
    return std::nullopt;
  HRSRC resource = orv::platform::FindResourceEntry(RT_BITMAP, name);
  auto bytes = orv::platform::ResourceBytes(resource);
  if (!bytes)
    return std::nullopt;
  return orv::platform::ParsePackedDib(*bytes);
}

}  // namespace

HGDIOBJ GetStockObject(int object) {
  if (auto early = OpenCall(nullptr, "GetStockObject", object))
    return *early;
  return orv::platform::StockObjectHandle(object);
}

// Always makes a DIB section that keeps the image's depth and colour table, as with
// LR_CREATEDIBSECTION; width and height other than 0 scale it (nearest neighbour).
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  if (auto early = OpenCall(nullptr, "LoadImageA", instance, name, type, width, height, flags)) {
    return *early;
  }
  if (type != IMAGE_BITMAP || name == nullptr || width < 0 || height < 0)
    return nullptr;
  auto dib = LoadDib(instance, name, flags);
  if (!dib)
    return nullptr;
  const int target_width = width != 0 ? width : dib->width;
  const int target_height = height != 0 ? height : dib->height;
  if (target_width != dib->width || target_height != dib->height) {
    dib = orv::platform::ScaleDib(*dib, target_width, target_height);
    if (!dib)
      return nullptr;
  }
  return orv::platform::AddBitmap(std::move(*dib));
}

// Bitmaps only. As on Windows: a null buffer asks for the size; a buffer smaller than
// BITMAP is refused; one as large as DIBSECTION receives the whole DIBSECTION.
int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  if (auto early = OpenCall(0, "GetObjectA", object, size, buffer))
    return *early;
  const orv::platform::BitmapObject* bitmap = orv::platform::FindBitmap(object);
  if (bitmap == nullptr)
    return 0;
  if (buffer == nullptr)
    return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP)))
    return 0;

  const orv::platform::Dib& dib = bitmap->dib;
  BITMAP record{};
  record.bmType = 0;
  record.bmWidth = dib.width;
  record.bmHeight = dib.height;
  record.bmPlanes = 1;
  record.bmBitsPixel = static_cast<WORD>(dib.bits_per_pixel);
  if (bitmap->stock) {
    // A device-dependent bitmap: rows padded to 16 bits, no pixel pointer.
    record.bmWidthBytes = (dib.width * dib.bits_per_pixel + 15) / 16 * 2;
    record.bmBits = nullptr;
  } else {
    record.bmWidthBytes = dib.stride;
    record.bmBits = const_cast<std::uint8_t*>(dib.bits.data());
  }
  if (bitmap->stock || size < static_cast<int>(sizeof(DIBSECTION))) {
    std::memcpy(buffer, &record, sizeof(record));
    return sizeof(BITMAP);
  }
  DIBSECTION section{};
  section.dsBm = record;
  section.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
  section.dsBmih.biWidth = dib.width;
  section.dsBmih.biHeight = dib.top_down ? -dib.height : dib.height;
  section.dsBmih.biPlanes = 1;
  section.dsBmih.biBitCount = static_cast<WORD>(dib.bits_per_pixel);
  section.dsBmih.biCompression = BI_RGB;
  section.dsBmih.biSizeImage = static_cast<DWORD>(dib.bits.size());
  section.dsBmih.biClrUsed = static_cast<DWORD>(dib.colors.size());
  std::memcpy(buffer, &section, sizeof(section));
  return sizeof(DIBSECTION);
}

BOOL DeleteObject(HGDIOBJ object) {
  if (auto early = OpenCall(FALSE, "DeleteObject", object))
    return *early;
  if (orv::platform::StockKindOf(object) != orv::platform::StockKind::kNone ||
      object == orv::platform::StockBitmapHandle()) {
    return TRUE;  // stock objects outlive any attempt to delete them
  }
  orv::platform::BitmapObject* bitmap = orv::platform::FindBitmap(object);
  // Device contexts go through DeleteDC; a selected bitmap cannot be deleted.
  if (bitmap == nullptr || bitmap->selected_into != nullptr)
    return FALSE;
  orv::platform::RemoveBitmap(object);
  return TRUE;
}
