// Memory device contexts, the contexts lent to DirectDraw surfaces, and SelectObject.
#include "core/open_call.h"
#include "gdi/gdi_objects.h"
#include "win/gdi.h"

using orv::platform::DeviceContext;
using orv::platform::OpenCall;
using orv::platform::StockKind;

namespace {

void SetStockDefaults(DeviceContext& dc) {
  dc.brush = orv::platform::StockObjectHandle(WHITE_BRUSH);
  dc.pen = orv::platform::StockObjectHandle(BLACK_PEN);
  dc.font = orv::platform::StockObjectHandle(SYSTEM_FONT);
}

}  // namespace

namespace orv::platform {

HDC CreateSurfaceDC(const PixelView& view) {
  const int bytes_per_pixel = view.bits_per_pixel / 8;
  if (view.bits == nullptr || view.width <= 0 || view.height <= 0 ||
      (view.bits_per_pixel != 8 && view.bits_per_pixel != 32) ||
      view.pitch < view.width * bytes_per_pixel) {
    return nullptr;
  }
  DeviceContext dc;
  dc.surface = view;
  SetStockDefaults(dc);
  return AddDeviceContext(dc);
}

void DestroySurfaceDC(HDC dc) {
  const DeviceContext* context = FindDeviceContext(dc);
  if (context != nullptr && !context->memory)
    RemoveDeviceContext(dc);
}

}  // namespace orv::platform

// Any existing DC (or null, the screen) may serve as the model; every memory DC
// starts with the stock 1x1 monochrome bitmap, as on Windows.
HDC CreateCompatibleDC(HDC dc) {
  if (auto early = OpenCall(nullptr, "CreateCompatibleDC", dc))
    return *early;
  if (dc != nullptr && orv::platform::FindDeviceContext(dc) == nullptr)
    return nullptr;
  DeviceContext memory_dc;
  memory_dc.memory = true;
  memory_dc.bitmap = orv::platform::StockBitmapHandle();
  SetStockDefaults(memory_dc);
  return orv::platform::AddDeviceContext(memory_dc);
}

// Memory DCs only: a surface's context goes back through the surface's ReleaseDC.
BOOL DeleteDC(HDC dc) {
  if (auto early = OpenCall(FALSE, "DeleteDC", dc))
    return *early;
  DeviceContext* context = orv::platform::FindDeviceContext(dc);
  if (context == nullptr || !context->memory)
    return FALSE;
  if (auto* bitmap = orv::platform::FindBitmap(context->bitmap); bitmap && !bitmap->stock) {
    bitmap->selected_into = nullptr;
  }
  orv::platform::RemoveDeviceContext(dc);
  return TRUE;
}

// Returns the object of the same kind that was selected before, or null when the
// object cannot be selected: a bitmap only into a memory DC and only into one DC at a
// time; palettes only through SelectPalette.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (auto early = OpenCall(nullptr, "SelectObject", dc, object))
    return *early;
  DeviceContext* context = orv::platform::FindDeviceContext(dc);
  if (context == nullptr)
    return nullptr;
  HGDIOBJ previous = nullptr;
  switch (orv::platform::StockKindOf(object)) {
    case StockKind::kBrush:
      previous = context->brush;
      context->brush = object;
      return previous;
    case StockKind::kPen:
      previous = context->pen;
      context->pen = object;
      return previous;
    case StockKind::kFont:
      previous = context->font;
      context->font = object;
      return previous;
    case StockKind::kPalette:
      return nullptr;
    case StockKind::kNone:
      break;
  }
  orv::platform::BitmapObject* bitmap = orv::platform::FindBitmap(object);
  if (bitmap == nullptr || !context->memory)
    return nullptr;
  if (!bitmap->stock && bitmap->selected_into != nullptr && bitmap->selected_into != dc) {
    return nullptr;
  }
  previous = context->bitmap;
  if (auto* old = orv::platform::FindBitmap(previous); old != nullptr && !old->stock) {
    old->selected_into = nullptr;
  }
  if (!bitmap->stock)
    bitmap->selected_into = dc;
  context->bitmap = object;
  return previous;
}
