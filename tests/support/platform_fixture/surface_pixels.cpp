#include "platform_fixture/surface_pixels.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orv::test_support {

void CreateExclusiveDisplay(HWND window, DWORD cooperation, LPDIRECTDRAW7& direct_draw,
                            LPDIRECTDRAWSURFACE7& primary) {
  ASSERT_EQ(
      DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&direct_draw), IID_IDirectDraw7, NULL),
      DD_OK);
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, cooperation), DD_OK);
  ASSERT_EQ(direct_draw->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  ASSERT_EQ(direct_draw->CreateSurface(&desc, &primary, NULL), DD_OK);
}

LockedSurface::LockedSurface(LPDIRECTDRAWSURFACE7 surface) : surface_(surface) {
  desc_.dwSize = sizeof(DDSURFACEDESC2);
  result_ = surface_->Lock(NULL, &desc_, DDLOCK_WAIT, NULL);
  locked_ = result_ == DD_OK;
}

LockedSurface::~LockedSurface() {
  if (locked_)
    Unlock();
}

HRESULT LockedSurface::Unlock() {
  locked_ = false;
  return surface_->Unlock(NULL);
}

std::size_t LockedSurface::row_bytes() const {
  return std::size_t{desc_.dwWidth} * desc_.ddpfPixelFormat.dwRGBBitCount / 8;
}

std::uint8_t* LockedSurface::Row(DWORD y) const {
  return static_cast<std::uint8_t*>(desc_.lpSurface) + std::ptrdiff_t{desc_.lPitch} * y;
}

std::vector<std::uint8_t> LockedSurface::Rows() const {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(row_bytes() * desc_.dwHeight);
  for (DWORD y = 0; y < desc_.dwHeight; ++y)
    pixels.insert(pixels.end(), Row(y), Row(y) + row_bytes());
  return pixels;
}

namespace {
// Locks the whole surface for `use` and unlocks it after; the test fails where either fails.
template <typename Use>
void UsePixels(LPDIRECTDRAWSURFACE7 surface, Use use) {
  LockedSurface locked(surface);
  EXPECT_EQ(locked.result(), DD_OK);
  if (!locked.locked())
    return;
  use(locked);
  EXPECT_EQ(locked.Unlock(), DD_OK);
}
}  // namespace

std::vector<std::uint8_t> ReadPixels(LPDIRECTDRAWSURFACE7 surface) {
  std::vector<std::uint8_t> pixels;
  UsePixels(surface, [&](const LockedSurface& locked) { pixels = locked.Rows(); });
  return pixels;
}

void WritePixels(LPDIRECTDRAWSURFACE7 surface, const std::vector<std::uint8_t>& pixels) {
  UsePixels(surface, [&](const LockedSurface& locked) {
    ASSERT_EQ(pixels.size(), locked.row_bytes() * locked.height());
    for (DWORD y = 0; y < locked.height(); ++y)
      std::memcpy(locked.Row(y), pixels.data() + y * locked.row_bytes(), locked.row_bytes());
  });
}

void FillPixels(LPDIRECTDRAWSURFACE7 surface, std::uint8_t value) {
  UsePixels(surface, [&](const LockedSurface& locked) {
    for (DWORD y = 0; y < locked.height(); ++y)
      std::memset(locked.Row(y), value, locked.row_bytes());
  });
}

}  // namespace orv::test_support
