// The two pixel formats surfaces come in: palette indices on the 640x480x8 display,
// and X8R8G8B8, the desktop's format before a display mode is set.
#pragma once

#include "win/ddraw.h"

namespace orv::platform {

enum class SurfaceFormat { kIndexed8, kRgb32 };

inline int BytesPerPixel(SurfaceFormat format) {
  return format == SurfaceFormat::kIndexed8 ? 1 : 4;
}

// The DDPIXELFORMAT record describing `format`.
DDPIXELFORMAT DescribeFormat(SurfaceFormat format);

// Reads a caller's DDPIXELFORMAT: DD_OK and the format, DDERR_INVALIDPARAMS for a wrong
// dwSize, DDERR_INVALIDPIXELFORMAT for anything but 8-bit palettized or 32-bit RGB.
HRESULT ReadFormat(const DDPIXELFORMAT& record, SurfaceFormat& format);

}  // namespace orv::platform
