#include "ddraw_fixture.h"

#include <cstring>

namespace {
constexpr char kClassName[] = "DirectDrawTestWindow";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

struct LockedPixels {
  DDSURFACEDESC2 desc{};
  int row_bytes = 0;
};

LockedPixels LockWhole(LPDIRECTDRAWSURFACE7 surface) {
  LockedPixels locked;
  locked.desc.dwSize = sizeof(DDSURFACEDESC2);
  EXPECT_EQ(surface->Lock(NULL, &locked.desc, DDLOCK_WAIT, NULL), DD_OK);
  locked.row_bytes =
      static_cast<int>(locked.desc.dwWidth * locked.desc.ddpfPixelFormat.dwRGBBitCount / 8);
  return locked;
}
}  // namespace

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

std::vector<std::uint8_t> ReadPixels(LPDIRECTDRAWSURFACE7 surface) {
  LockedPixels locked = LockWhole(surface);
  std::vector<std::uint8_t> pixels;
  if (locked.desc.lpSurface == nullptr)
    return pixels;
  const auto* bits = static_cast<const std::uint8_t*>(locked.desc.lpSurface);
  for (DWORD y = 0; y < locked.desc.dwHeight; ++y) {
    const std::uint8_t* row = bits + y * locked.desc.lPitch;
    pixels.insert(pixels.end(), row, row + locked.row_bytes);
  }
  EXPECT_EQ(surface->Unlock(NULL), DD_OK);
  return pixels;
}

void WritePixels(LPDIRECTDRAWSURFACE7 surface, const std::vector<std::uint8_t>& pixels) {
  LockedPixels locked = LockWhole(surface);
  if (locked.desc.lpSurface == nullptr)
    return;
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(locked.row_bytes) * locked.desc.dwHeight);
  auto* bits = static_cast<std::uint8_t*>(locked.desc.lpSurface);
  for (DWORD y = 0; y < locked.desc.dwHeight; ++y) {
    std::memcpy(bits + y * locked.desc.lPitch, pixels.data() + y * locked.row_bytes,
                locked.row_bytes);
  }
  EXPECT_EQ(surface->Unlock(NULL), DD_OK);
}

void FillPixels(LPDIRECTDRAWSURFACE7 surface, std::uint8_t value) {
  LockedPixels locked = LockWhole(surface);
  if (locked.desc.lpSurface == nullptr)
    return;
  auto* bits = static_cast<std::uint8_t*>(locked.desc.lpSurface);
  for (DWORD y = 0; y < locked.desc.dwHeight; ++y) {
    std::memset(bits + y * locked.desc.lPitch, value, locked.row_bytes);
  }
  EXPECT_EQ(surface->Unlock(NULL), DD_OK);
}

DirectDrawTest::DirectDrawTest() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = TestWindowProc;
  window_class.hInstance = GetModuleHandleA(NULL);
  window_class.lpszClassName = kClassName;
  RegisterClassA(&window_class);
  window = CreateWindowExA(0, kClassName, "DirectDraw test", WS_POPUP, 0, 0, 640, 480, NULL, NULL,
                           window_class.hInstance, NULL);
  ShowWindow(window, SW_SHOWNORMAL);
}

DirectDrawTest::~DirectDrawTest() {
  if (IsWindow(window))
    DestroyWindow(window);
}

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
  ASSERT_EQ(
      DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&direct_draw), IID_IDirectDraw7, NULL),
      DD_OK);
  ASSERT_EQ(direct_draw->SetCooperativeLevel(
                window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE),
            DD_OK);
  ASSERT_EQ(direct_draw->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  ASSERT_EQ(direct_draw->CreateSurface(&desc, &primary, NULL), DD_OK);
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

void DirectDrawTest::SwitchAway(bool minimized) {
  host.LoseFocus(minimized);
  PumpMessages();
}

void DirectDrawTest::SwitchBack() {
  host.GainFocus();
  PumpMessages();
}

void DirectDrawTest::PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
