#include "gdi/gdi_objects.h"

#include <map>
#include <variant>

#include "core/diagnostics.h"
#include "core/reset.h"
#include "win/gdi.h"

namespace orv::platform {
namespace {

// Stock handles live in a range of their own, below the created objects.
constexpr UINT_PTR kStockBase = 0x00900000;
constexpr int kStockIds = 20;
constexpr UINT_PTR kStockBitmap = kStockBase + 4 * kStockIds;
constexpr UINT_PTR kFirstHandle = 0x01000000;

struct GdiState {
  std::map<UINT_PTR, std::variant<BitmapObject, DeviceContext>> objects;
  UINT_PTR next_handle = kFirstHandle;
};

GdiState& State() {
  static GdiState state;
  return state;
}

BitmapObject MakeStockBitmap() {
  BitmapObject bitmap;
  bitmap.stock = true;
  bitmap.dib.width = 1;
  bitmap.dib.height = 1;
  bitmap.dib.bits_per_pixel = 1;
  bitmap.dib.stride = 4;
  bitmap.dib.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  bitmap.dib.bits.assign(4, 0);
  return bitmap;
}

BitmapObject& StockBitmap() {
  static BitmapObject bitmap = MakeStockBitmap();
  return bitmap;
}

void ResetGdi() {
  for (const auto& item : State().objects) {
    (void)item;
    Diag().ObjectDestroyed();
  }
  State() = GdiState();
  StockBitmap() = MakeStockBitmap();
}

const ResetHook kReset(ResetOrder::kGdi, &ResetGdi);

UINT_PTR Key(const void* handle) {
  return reinterpret_cast<UINT_PTR>(handle);
}

template <typename T>
T* Find(const void* handle) {
  auto& objects = State().objects;
  auto it = objects.find(Key(handle));
  return it == objects.end() ? nullptr : std::get_if<T>(&it->second);
}

}  // namespace

HGDIOBJ StockObjectHandle(int id) {
  // Id 9 was never assigned; 20 and above are not stock objects.
  if (id < 0 || id >= kStockIds || id == 9)
    return nullptr;
  return reinterpret_cast<HGDIOBJ>(kStockBase + 4 * static_cast<UINT_PTR>(id));
}

StockKind StockKindOf(HGDIOBJ object) {
  const UINT_PTR key = Key(object);
  if (key < kStockBase || key >= kStockBase + 4 * kStockIds || key % 4 != 0) {
    return StockKind::kNone;
  }
  switch (static_cast<int>((key - kStockBase) / 4)) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case NULL_BRUSH:
    case DC_BRUSH:
      return StockKind::kBrush;
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
    case DC_PEN:
      return StockKind::kPen;
    case DEFAULT_PALETTE:
      return StockKind::kPalette;
    case 9:
      return StockKind::kNone;
    default:
      return StockKind::kFont;
  }
}

HGDIOBJ StockBitmapHandle() {
  return reinterpret_cast<HGDIOBJ>(kStockBitmap);
}

HGDIOBJ AddBitmap(Dib dib) {
  GdiState& state = State();
  const UINT_PTR handle = state.next_handle;
  state.next_handle += 4;
  state.objects.emplace(handle, BitmapObject{std::move(dib), false, nullptr});
  Diag().ObjectCreated();
  return reinterpret_cast<HGDIOBJ>(handle);
}

HDC AddDeviceContext(const DeviceContext& dc) {
  GdiState& state = State();
  const UINT_PTR handle = state.next_handle;
  state.next_handle += 4;
  state.objects.emplace(handle, dc);
  Diag().ObjectCreated();
  return reinterpret_cast<HDC>(handle);
}

void RemoveBitmap(HGDIOBJ bitmap) {
  if (Find<BitmapObject>(bitmap) == nullptr)
    return;
  State().objects.erase(Key(bitmap));
  Diag().ObjectDestroyed();
}

void RemoveDeviceContext(HDC dc) {
  if (Find<DeviceContext>(dc) == nullptr)
    return;
  State().objects.erase(Key(dc));
  Diag().ObjectDestroyed();
}

BitmapObject* FindBitmap(HGDIOBJ bitmap) {
  if (Key(bitmap) == kStockBitmap)
    return &StockBitmap();
  return Find<BitmapObject>(bitmap);
}

DeviceContext* FindDeviceContext(HDC dc) {
  return Find<DeviceContext>(dc);
}

std::optional<PixelPlane> PlaneOfDeviceContext(HDC dc) {
  const DeviceContext* context = FindDeviceContext(dc);
  if (context == nullptr)
    return std::nullopt;
  if (context->memory) {
    const BitmapObject* bitmap = FindBitmap(context->bitmap);
    if (bitmap == nullptr)
      return std::nullopt;
    return PlaneOf(bitmap->dib);
  }
  PixelPlane plane = PlaneOf(context->surface);
  // Without a palette an 8-bit surface's values mean no colour.
  if (plane.indexed() && plane.colors.empty())
    return std::nullopt;
  return plane;
}

}  // namespace orv::platform
