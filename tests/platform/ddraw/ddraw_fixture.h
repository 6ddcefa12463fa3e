// A headless host with one shown window, and helpers to make and read DirectDraw objects.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hosts/headless/headless_host.h"
#include "platform.h"

DDSURFACEDESC2 OffscreenDesc(DWORD width, DWORD height);
DDPIXELFORMAT Indexed8Format();
DDPIXELFORMAT Rgb32Format();

// Pixels of a surface as packed rows, read and written through Lock.
std::vector<std::uint8_t> ReadPixels(LPDIRECTDRAWSURFACE7 surface);
void WritePixels(LPDIRECTDRAWSURFACE7 surface, const std::vector<std::uint8_t>& pixels);
void FillPixels(LPDIRECTDRAWSURFACE7 surface, std::uint8_t value);

class DirectDrawTest : public ::testing::Test {
 protected:
  DirectDrawTest();
  ~DirectDrawTest() override;

  // A DirectDraw object at the normal cooperative level, without a window.
  LPDIRECTDRAW7 CreateNormalObject();
  // The exclusive 640x480x8 display of `window` with its flipping pair.
  void SetUpDisplay();
  LPDIRECTDRAWSURFACE7 CreateOffscreen(LPDIRECTDRAW7 object, DWORD width, DWORD height,
                                       const DDPIXELFORMAT* format = nullptr);
  LPDIRECTDRAWPALETTE CreatePalette(LPDIRECTDRAW7 object, BYTE red_of_first = 0);

  // Focus changes as the user makes them, delivered through the message queue.
  void SwitchAway(bool minimized);
  void SwitchBack();
  void PumpMessages();

  orv::platform::HeadlessHost host;
  HWND window = nullptr;
  LPDIRECTDRAW7 direct_draw = nullptr;
  LPDIRECTDRAWSURFACE7 primary = nullptr;
  LPDIRECTDRAWSURFACE7 back_buffer = nullptr;
};
