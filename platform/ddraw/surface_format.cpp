#include "ddraw/surface_format.h"

namespace orv::platform {
namespace {
constexpr DWORD kRedMask = 0x00FF0000;
constexpr DWORD kGreenMask = 0x0000FF00;
constexpr DWORD kBlueMask = 0x000000FF;
}  // namespace

DDPIXELFORMAT DescribeFormat(SurfaceFormat format) {
  DDPIXELFORMAT record{};
  record.dwSize = sizeof(DDPIXELFORMAT);
  if (format == SurfaceFormat::kIndexed8) {
    record.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    record.dwRGBBitCount = 8;
  } else {
    record.dwFlags = DDPF_RGB;
    record.dwRGBBitCount = 32;
    record.dwRBitMask = kRedMask;
    record.dwGBitMask = kGreenMask;
    record.dwBBitMask = kBlueMask;
  }
  return record;
}

HRESULT ReadFormat(const DDPIXELFORMAT& record, SurfaceFormat& format) {
  if (record.dwSize != sizeof(DDPIXELFORMAT))
    return DDERR_INVALIDPARAMS;
  if ((record.dwFlags & DDPF_PALETTEINDEXED8) != 0) {
    if ((record.dwFlags & ~(DDPF_PALETTEINDEXED8 | DDPF_RGB)) != 0 || record.dwRGBBitCount != 8) {
      return DDERR_INVALIDPIXELFORMAT;
    }
    format = SurfaceFormat::kIndexed8;
    return DD_OK;
  }
  if (record.dwFlags == DDPF_RGB && record.dwRGBBitCount == 32 && record.dwRBitMask == kRedMask &&
      record.dwGBitMask == kGreenMask && record.dwBBitMask == kBlueMask) {
    format = SurfaceFormat::kRgb32;
    return DD_OK;
  }
  return DDERR_INVALIDPIXELFORMAT;
}

}  // namespace orv::platform
