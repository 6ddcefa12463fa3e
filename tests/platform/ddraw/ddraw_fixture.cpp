#include "ddraw_fixture.h"

DDSURFACEDESC2 OffscreenDesc(DWORD width, DWORD height) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = width;
  desc.dwHeight = height;
  return desc;
}

DDPIXELFORMAT Indexed8Format() {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
  format.dwRGBBitCount = 8;
  return format;
}

DDPIXELFORMAT Rgb32Format() {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = 32;
  format.dwRBitMask = 0x00FF0000;
  format.dwGBitMask = 0x0000FF00;
  format.dwBBitMask = 0x000000FF;
  return format;
}

DirectDrawTest::DirectDrawTest() : ShownWindowTest({.style = WS_POPUP}) {}

LPDIRECTDRAW7 DirectDrawTest::CreateNormalObject() {
  LPDIRECTDRAW7 object = nullptr;
  EXPECT_EQ(DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&object), IID_IDirectDraw7, NULL),
            DD_OK);
  if (object != nullptr) {
    EXPECT_EQ(object->SetCooperativeLevel(NULL, DDSCL_NORMAL), DD_OK);
  }
  return object;
}

void DirectDrawTest::SetUpDisplay() {
  ASSERT_NO_FATAL_FAILURE(orv::test_support::CreateExclusiveDisplay(
      window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE, direct_draw, primary));
  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back_buffer), DD_OK);
}

LPDIRECTDRAWSURFACE7 DirectDrawTest::CreateOffscreen(LPDIRECTDRAW7 object, DWORD width,
                                                     DWORD height, const DDPIXELFORMAT* format) {
  DDSURFACEDESC2 desc = OffscreenDesc(width, height);
  if (format != nullptr) {
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat = *format;
  }
  LPDIRECTDRAWSURFACE7 surface = nullptr;
  EXPECT_EQ(object->CreateSurface(&desc, &surface, NULL), DD_OK);
  return surface;
}

LPDIRECTDRAWPALETTE DirectDrawTest::CreatePalette(LPDIRECTDRAW7 object, BYTE red_of_first) {
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i) {
    entries[i] = {static_cast<BYTE>(red_of_first + i), static_cast<BYTE>(255 - i), 7, 0};
  }
  LPDIRECTDRAWPALETTE palette = nullptr;
  EXPECT_EQ(object->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, NULL), DD_OK);
  return palette;
}
