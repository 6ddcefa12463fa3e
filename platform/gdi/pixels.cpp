// GetPixel and SetPixel on any DC with pixels.
#include "core/open_call.h"
#include "gdi/gdi_objects.h"
#include "gdi/pixel_plane.h"
#include "win/gdi.h"

using orv::platform::OpenCall;

COLORREF GetPixel(HDC dc, int x, int y) {
  if (auto early = OpenCall(CLR_INVALID, "GetPixel", dc, x, y))
    return *early;
  auto plane = orv::platform::PlaneOfDeviceContext(dc);
  if (!plane || !plane->Contains(x, y))
    return CLR_INVALID;
  const std::uint32_t value = orv::platform::ReadPixelValue(*plane, x, y);
  return orv::platform::ColorRefFromRgb(orv::platform::ColorOfValue(*plane, value));
}

// Writes the pixel value closest to `color` and returns the colour that value shows.
// The top byte of `color` (palette-relative forms) is not interpreted.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  if (auto early = OpenCall(static_cast<COLORREF>(-1), "SetPixel", dc, x, y, color))
    return *early;
  auto plane = orv::platform::PlaneOfDeviceContext(dc);
  if (!plane || !plane->Contains(x, y))
    return static_cast<COLORREF>(-1);
  const std::uint32_t value =
      orv::platform::ValueForColor(*plane, orv::platform::RgbFromColorRef(color));
  orv::platform::WritePixelValue(*plane, x, y, value);
  return orv::platform::ColorRefFromRgb(orv::platform::ColorOfValue(*plane, value));
}
