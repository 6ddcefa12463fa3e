// ProbeSurfaceColor and ApplyColorKey on 8- and 32-bit surfaces.
#include <vector>

#include "display/bitmap_loading.h"
#include "display/busy_retry.h"
#include "display_fixture.h"
#include "platform_fixture/surface_pixels.h"

namespace {

using orv::test_support::LockedSurface;

class SurfaceColorTest : public DisplayTest {
 protected:
  // The display with a primary whose palette is the default one, whose entries are
  // all distinct colours: red is entry 224.
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(orv::test_support::CreateExclusiveDisplay(
        window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, direct_draw, primary));
    LPDIRECTDRAWPALETTE palette = DDLoadPalette(direct_draw, NULL);
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(primary->SetPalette(palette), DD_OK);
    palette->Release();
  }
  void TearDown() override {
    for (LPDIRECTDRAWSURFACE7 surface : surfaces)
      surface->Release();
    if (primary != nullptr)
      primary->Release();
    if (direct_draw != nullptr)
      direct_draw->Release();
  }

  // An off-screen surface whose first row starts with `first_row`; 32 bits per pixel
  // when asked, the display's 8 otherwise.
  LPDIRECTDRAWSURFACE7 MakeSurface(int bits, DWORD width, DWORD height,
                                   const std::vector<BYTE>& first_row) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (bits == 32) {
      desc.dwFlags |= DDSD_PIXELFORMAT;
      desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
      desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
      desc.ddpfPixelFormat.dwRGBBitCount = 32;
      desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
      desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
      desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    }
    LPDIRECTDRAWSURFACE7 surface = nullptr;
    EXPECT_EQ(direct_draw->CreateSurface(&desc, &surface, NULL), DD_OK);
    if (surface == nullptr)
      return nullptr;
    surfaces.push_back(surface);
    LockedSurface locked(surface);
    EXPECT_EQ(locked.result(), DD_OK);
    if (locked.locked())
      std::copy(first_row.begin(), first_row.end(), locked.Row(0));
    return surface;
  }

  std::vector<BYTE> FirstBytes(LPDIRECTDRAWSURFACE7 surface, std::size_t count) {
    const LockedSurface locked(surface);
    if (!locked.locked())
      return {};
    return std::vector<BYTE>(locked.Row(0), locked.Row(0) + count);
  }

  LPDIRECTDRAW7 direct_draw = nullptr;
  LPDIRECTDRAWSURFACE7 primary = nullptr;
  std::vector<LPDIRECTDRAWSURFACE7> surfaces;
};

struct ProbeCase {
  const char* name;
  int bits;
  DWORD width;
  DWORD height;
  std::vector<BYTE> first_row;
  COLORREF color;
  DWORD expected;
};

class ProbeTest : public SurfaceColorTest, public ::testing::WithParamInterface<ProbeCase> {};

TEST_P(ProbeTest, AnswersThePixelValueAndLeavesThePixelAsItWas) {
  const ProbeCase& probe = GetParam();
  LPDIRECTDRAWSURFACE7 surface =
      MakeSurface(probe.bits, probe.width, probe.height, probe.first_row);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(ProbeSurfaceColor(surface, probe.color), probe.expected);
  // Only the colour channels survive a GDI round trip of a 32-bit pixel.
  std::vector<BYTE> kept = probe.first_row;
  if (probe.bits == 32 && probe.color != CLR_INVALID)
    kept[3] = 0;
  EXPECT_EQ(FirstBytes(surface, kept.size()), kept);

  host.diagnostics().ClearJournal();
  ASSERT_EQ(ApplyColorKey(surface, probe.color), DD_OK);
  DDCOLORKEY key = {};
  ASSERT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, probe.expected);
  EXPECT_EQ(key.dwColorSpaceHighValue, probe.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProbeTest,
    ::testing::Values(
        ProbeCase{"Stored8", 8, 16, 4, {17, 201, 202, 203}, CLR_INVALID, 17},
        ProbeCase{"StoredInAOnePixelSurface8", 8, 1, 1, {17}, CLR_INVALID, 17},
        ProbeCase{
            "Stored32", 32, 16, 4, {0xD4, 0xC3, 0xB2, 0xA1, 1, 2, 3, 4}, CLR_INVALID, 0xA1B2C3D4},
        ProbeCase{"StoredInAOnePixelSurface32",
                  32,
                  1,
                  1,
                  {0xD4, 0xC3, 0xB2, 0xA1},
                  CLR_INVALID,
                  0xA1B2C3D4},
        ProbeCase{"Red8", 8, 16, 4, {17, 201, 202, 203}, RGB(255, 0, 0), 224},
        ProbeCase{
            "Colour32", 32, 16, 4, {0xD4, 0xC3, 0xB2, 0xA1}, RGB(0x12, 0x34, 0x56), 0x123456}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

TEST_F(SurfaceColorTest, ABusySurfaceIsLockedAgainAndAnUnreadableOneGivesNoColour) {
  LPDIRECTDRAWSURFACE7 surface = MakeSurface(8, 8, 8, {42});
  ASSERT_NE(surface, nullptr);
  host.diagnostics().ClearJournal();
  host.diagnostics().InjectFault("IDirectDrawSurface7::Lock", DDERR_WASSTILLDRAWING, 2);
  EXPECT_EQ(ProbeSurfaceColor(surface, CLR_INVALID), 42u);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Lock"), 3);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Unlock"), 1);

  // A key that matches no pixel would draw whole cells: no key is set instead.
  host.diagnostics().InjectFault("IDirectDrawSurface7::Lock", DDERR_SURFACEBUSY);
  EXPECT_NE(ApplyColorKey(surface, CLR_INVALID), DD_OK);
  DDCOLORKEY key = {};
  EXPECT_EQ(surface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::SetColorKey"), 0);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Unlock"), 1);
}

TEST_F(SurfaceColorTest, ASurfaceThatStaysBusyIsGivenUp) {
  LPDIRECTDRAWSURFACE7 surface = MakeSurface(8, 8, 8, {42});
  ASSERT_NE(surface, nullptr);
  host.diagnostics().ClearJournal();
  host.diagnostics().InjectFault("IDirectDrawSurface7::Lock", DDERR_WASSTILLDRAWING, 1 << 30);
  EXPECT_EQ(ProbeSurfaceColor(surface, CLR_INVALID), CLR_INVALID);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Lock"), kBusyRetryAttempts);
}

}  // namespace
