// Losing the exclusive display to another window, and getting the surfaces back.
#include <cstdint>
#include <vector>

#include "ddraw_fixture.h"

namespace {

using Pixels = std::vector<std::uint8_t>;

class LostSurfaceTest : public DirectDrawTest, public ::testing::WithParamInterface<bool> {
 protected:
  LostSurfaceTest() {
    SetUpDisplay();
    palette = CreatePalette(direct_draw);
    EXPECT_EQ(primary->SetPalette(palette), DD_OK);
    sprite = CreateOffscreen(direct_draw, 4, 4);
    FillPixels(sprite, 7);
    DDCOLORKEY key = {3, 3};
    EXPECT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    FillPixels(back_buffer, 9);
  }
  ~LostSurfaceTest() override { direct_draw->Release(); }

  LPDIRECTDRAWPALETTE palette = nullptr;
  LPDIRECTDRAWSURFACE7 sprite = nullptr;
};

TEST_P(LostSurfaceTest, SwitchingAwayLosesEverySurfaceUntilRestoredInTheForeground) {
  const bool minimized = GetParam();
  ASSERT_TRUE(host.exclusive());
  SwitchAway(minimized);
  EXPECT_FALSE(host.exclusive());

  for (LPDIRECTDRAWSURFACE7 surface : {primary, back_buffer, sprite}) {
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
  }
  RECT rect = {0, 0, 4, 4};
  EXPECT_EQ(back_buffer->BltFast(0, 0, sprite, &rect, DDBLTFAST_SRCCOLORKEY), DDERR_SURFACELOST);
  EXPECT_EQ(primary->Flip(NULL, 0), DDERR_SURFACELOST);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  EXPECT_EQ(sprite->Lock(NULL, &desc, 0, NULL), DDERR_SURFACELOST);
  HDC dc = nullptr;
  EXPECT_EQ(sprite->GetDC(&dc), DDERR_SURFACELOST);
  EXPECT_EQ(direct_draw->TestCooperativeLevel(), DDERR_NOEXCLUSIVEMODE);

  // Still away: nothing comes back.
  EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);
  EXPECT_EQ(direct_draw->RestoreAllSurfaces(), DDERR_WRONGMODE);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);

  SwitchBack();
  EXPECT_TRUE(host.exclusive());
  EXPECT_EQ(direct_draw->TestCooperativeLevel(), DD_OK);
  EXPECT_EQ(back_buffer->Restore(), DDERR_IMPLICITLYCREATED);
  EXPECT_EQ(primary->Restore(), DD_OK);
  EXPECT_EQ(back_buffer->IsLost(), DD_OK) << "restored with its primary";
  EXPECT_EQ(ReadPixels(back_buffer), Pixels(640 * 480, 0)) << "the old picture is gone";
  EXPECT_EQ(sprite->IsLost(), DDERR_SURFACELOST) << "each surface is restored by itself";
  EXPECT_EQ(sprite->Restore(), DD_OK);
  EXPECT_EQ(ReadPixels(sprite), Pixels(16, 0));

  // Colour key and palette survive.
  DDCOLORKEY key{};
  ASSERT_EQ(sprite->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, 3u);
  LPDIRECTDRAWPALETTE attached = nullptr;
  ASSERT_EQ(primary->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, palette);
  attached->Release();
  EXPECT_EQ(back_buffer->BltFast(0, 0, sprite, &rect, DDBLTFAST_SRCCOLORKEY), DD_OK);
  EXPECT_EQ(primary->Flip(NULL, 0), DD_OK);
  EXPECT_EQ(host.presented_count(), 1);
}

INSTANTIATE_TEST_SUITE_P(HowTheUserLeft, LostSurfaceTest, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "Minimized" : "OtherWindowActive");
});

TEST_F(DirectDrawTest, RestoreAllSurfacesBringsEverySurfaceBack) {
  SetUpDisplay();
  LPDIRECTDRAWSURFACE7 sprite = CreateOffscreen(direct_draw, 4, 4);
  SwitchAway(true);
  SwitchBack();
  EXPECT_EQ(direct_draw->RestoreAllSurfaces(), DD_OK);
  for (LPDIRECTDRAWSURFACE7 surface : {primary, back_buffer, sprite}) {
    EXPECT_EQ(surface->IsLost(), DD_OK);
  }
  direct_draw->Release();
}

TEST_F(DirectDrawTest, SystemMemoryAndNormalLevelSurfacesAreNotLost) {
  SetUpDisplay();
  DDSURFACEDESC2 desc = OffscreenDesc(2, 2);
  desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
  LPDIRECTDRAWSURFACE7 system_memory = nullptr;
  ASSERT_EQ(direct_draw->CreateSurface(&desc, &system_memory, NULL), DD_OK);
  FillPixels(system_memory, 5);
  LPDIRECTDRAW7 windowed = CreateNormalObject();
  LPDIRECTDRAWSURFACE7 windowed_surface = CreateOffscreen(windowed, 2, 2);

  SwitchAway(true);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(system_memory->IsLost(), DD_OK);
  EXPECT_EQ(ReadPixels(system_memory), Pixels(4, 5));
  EXPECT_EQ(windowed_surface->IsLost(), DD_OK);
  windowed->Release();
  direct_draw->Release();
}

}  // namespace
