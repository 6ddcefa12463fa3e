// Reaching a surface's pixels: Lock, device contexts, colour keys and palettes.
#include <cstdint>
#include <vector>

#include "ddraw_fixture.h"

namespace {

class SurfaceAccessTest : public DirectDrawTest {
 protected:
  SurfaceAccessTest() {
    SetUpDisplay();
    surface = CreateOffscreen(direct_draw, 3, 2);
  }
  ~SurfaceAccessTest() override { direct_draw->Release(); }

  LPDIRECTDRAWSURFACE7 surface = nullptr;
};

TEST_F(SurfaceAccessTest, LockDescribesThePixelMemoryWhileLocked) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->Lock(NULL, &desc, 0, NULL), DD_OK);
  ASSERT_NE(desc.lpSurface, nullptr);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
  EXPECT_EQ(desc.dwWidth, 3u);
  EXPECT_GE(desc.lPitch, 3);
  static_cast<std::uint8_t*>(desc.lpSurface)[desc.lPitch + 2] = 42;

  DDSURFACEDESC2 again{};
  again.dwSize = sizeof again;
  EXPECT_EQ(surface->Lock(NULL, &again, 0, NULL), DDERR_SURFACEBUSY);
  ASSERT_EQ(surface->Unlock(NULL), DD_OK);
  EXPECT_EQ(surface->Unlock(NULL), DDERR_NOTLOCKED);
  EXPECT_EQ(ReadPixels(surface), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 42}));

  RECT corner = {2, 1, 3, 2};
  ASSERT_EQ(surface->Lock(&corner, &desc, 0, NULL), DD_OK);
  EXPECT_EQ(*static_cast<std::uint8_t*>(desc.lpSurface), 42);
  ASSERT_EQ(surface->Unlock(&corner), DD_OK);
}

TEST_F(SurfaceAccessTest, LockRefusesBadRecordsAndRectangles) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = 124;
  EXPECT_EQ(surface->Lock(NULL, &desc, 0, NULL), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->Lock(NULL, NULL, 0, NULL), DDERR_INVALIDPARAMS);
  desc.dwSize = sizeof desc;
  RECT outside = {0, 0, 4, 1};
  EXPECT_EQ(surface->Lock(&outside, &desc, 0, NULL), DDERR_INVALIDRECT);
  EXPECT_EQ(surface->Unlock(NULL), DDERR_NOTLOCKED);
}

TEST_F(SurfaceAccessTest, DeviceContextDrawsWithTheDisplayPalette) {
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  PALETTEENTRY red = {255, 0, 0, 0};
  ASSERT_EQ(palette->SetEntries(0, 200, 1, &red), DD_OK);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);

  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  ASSERT_NE(dc, nullptr);
  HDC second = nullptr;
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  EXPECT_EQ(surface->Lock(NULL, &desc, 0, NULL), DDERR_SURFACEBUSY);
  SetPixel(dc, 1, 0, RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
  EXPECT_EQ(ReadPixels(surface)[1], 200) << "the pixel holds the palette index of red";
  palette->Release();
}

TEST_F(SurfaceAccessTest, DeviceContextOfA32BitSurfaceHoldsColours) {
  const DDPIXELFORMAT rgb32 = Rgb32Format();
  LPDIRECTDRAWSURFACE7 colours = CreateOffscreen(direct_draw, 2, 1, &rgb32);
  HDC dc = nullptr;
  ASSERT_EQ(colours->GetDC(&dc), DD_OK);
  SetPixel(dc, 1, 0, RGB(10, 20, 30));
  ASSERT_EQ(colours->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(ReadPixels(colours), (std::vector<std::uint8_t>{0, 0, 0, 0, 30, 20, 10, 0}));
}

TEST_F(SurfaceAccessTest, ColourKeysAreSetReadAndRemoved) {
  DDCOLORKEY key{};
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  DDCOLORKEY range = {4, 9};
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &range), DD_OK);
  ASSERT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, 4u);
  EXPECT_EQ(key.dwColorSpaceHighValue, 9u);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_DESTBLT, &key), DDERR_NOCOLORKEY);

  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_NE(desc.dwFlags & DDSD_CKSRCBLT, 0u);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 9u);

  EXPECT_EQ(surface->SetColorKey(DDCKEY_SRCOVERLAY, &range), DDERR_NOOVERLAYHW);
  EXPECT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | DDCKEY_DESTBLT, &range), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, NULL), DDERR_INVALIDPARAMS);
  ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, NULL), DD_OK);
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
}

TEST_F(SurfaceAccessTest, KeyGivenAtCreationIsTheSourceKey) {
  DDSURFACEDESC2 desc = OffscreenDesc(2, 2);
  desc.dwFlags |= DDSD_CKSRCBLT;
  desc.ddckCKSrcBlt = {17, 17};
  LPDIRECTDRAWSURFACE7 keyed = nullptr;
  ASSERT_EQ(direct_draw->CreateSurface(&desc, &keyed, NULL), DD_OK);
  DDCOLORKEY key{};
  ASSERT_EQ(keyed->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, 17u);
}

TEST_F(SurfaceAccessTest, PalettesAttachOnlyTo8BitSurfaces) {
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  LPDIRECTDRAWPALETTE attached = nullptr;
  EXPECT_EQ(surface->GetPalette(&attached), DDERR_NOPALETTEATTACHED);
  EXPECT_EQ(surface->SetPalette(palette), DD_OK);
  ASSERT_EQ(surface->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, palette);
  attached->Release();

  const DDPIXELFORMAT rgb32 = Rgb32Format();
  LPDIRECTDRAWSURFACE7 colours = CreateOffscreen(direct_draw, 2, 1, &rgb32);
  EXPECT_EQ(colours->SetPalette(palette), DDERR_NOTPALETTIZED);
  palette->Release();
}

}  // namespace
