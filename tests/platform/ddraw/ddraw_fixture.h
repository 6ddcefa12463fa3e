// A headless host with one shown window, and helpers to make and read DirectDraw objects.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform.h"
#include "platform_fixture/shown_window.h"
#include "platform_fixture/surface_pixels.h"

DDSURFACEDESC2 OffscreenDesc(DWORD width, DWORD height);
DDPIXELFORMAT Indexed8Format();
DDPIXELFORMAT Rgb32Format();

using orv::test_support::FillPixels;
using orv::test_support::ReadPixels;
using orv::test_support::WritePixels;

class DirectDrawTest : public orv::test_support::ShownWindowTest<> {
 protected:
  DirectDrawTest();

  // A DirectDraw object at the normal cooperative level, without a window.
  LPDIRECTDRAW7 CreateNormalObject();
  // The exclusive 640x480x8 display of `window` with its flipping pair.
  void SetUpDisplay();
  LPDIRECTDRAWSURFACE7 CreateOffscreen(LPDIRECTDRAW7 object, DWORD width, DWORD height,
                                       const DDPIXELFORMAT* format = nullptr);
  LPDIRECTDRAWPALETTE CreatePalette(LPDIRECTDRAW7 object, BYTE red_of_first = 0);

  LPDIRECTDRAW7 direct_draw = nullptr;
  LPDIRECTDRAWSURFACE7 primary = nullptr;
  LPDIRECTDRAWSURFACE7 back_buffer = nullptr;
};

// The exclusive display set up for each test, released after it.
class ExclusiveDisplayTest : public DirectDrawTest {
 protected:
  ExclusiveDisplayTest() { SetUpDisplay(); }
  ~ExclusiveDisplayTest() override {
    if (direct_draw != nullptr)
      direct_draw->Release();
  }
};
