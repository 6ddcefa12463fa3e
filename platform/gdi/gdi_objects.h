// GDI's handle table: bitmaps and device contexts created by the program, and the
// stock objects. Handles are numbers that are never reused until the platform is
// reset, so a deleted or made-up handle is recognised and refused.
#pragma once

#include <optional>

#include "core/device_context.h"
#include "gdi/dib.h"
#include "gdi/pixel_plane.h"
#include "win/base.h"

namespace orv::platform {

enum class StockKind { kNone, kBrush, kPen, kFont, kPalette };

struct BitmapObject {
  Dib dib;
  bool stock = false;           // the 1x1 monochrome bitmap every memory DC starts with
  HDC selected_into = nullptr;  // a bitmap is selected into at most one DC
};

struct DeviceContext {
  bool memory = false;       // a memory DC (CreateCompatibleDC); otherwise a surface's DC
  PixelView surface;         // the pixels of a surface DC
  HGDIOBJ bitmap = nullptr;  // the bitmap selected into a memory DC
  HGDIOBJ brush = nullptr;
  HGDIOBJ pen = nullptr;
  HGDIOBJ font = nullptr;
};

// Stock objects: the handle of a stock id Windows knows, or null.
HGDIOBJ StockObjectHandle(int id);
StockKind StockKindOf(HGDIOBJ object);
HGDIOBJ StockBitmapHandle();

// Adds an object (counted as live) and returns its new handle.
HGDIOBJ AddBitmap(Dib dib);
HDC AddDeviceContext(const DeviceContext& dc);
// Removes an object (counted as freed).
void RemoveBitmap(HGDIOBJ bitmap);
void RemoveDeviceContext(HDC dc);

// Null for handles that name no such object.
BitmapObject* FindBitmap(HGDIOBJ bitmap);
DeviceContext* FindDeviceContext(HDC dc);

// The pixels a DC draws on; nothing for an unknown DC or an 8-bit surface without palette.
std::optional<PixelPlane> PlaneOfDeviceContext(HDC dc);

}  // namespace orv::platform
