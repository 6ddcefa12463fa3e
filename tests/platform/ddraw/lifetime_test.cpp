// Reference counts, the chain's shared lifetime, released objects and the platform reset.
#include <sstream>

#include "ddraw_fixture.h"

namespace {

using orv::platform::Diag;

class GameReleaseOrderTest : public DirectDrawTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GameReleaseOrderTest, ReleasingEveryHandleLeavesNoLiveObject) {
  const bool also_release_back_buffer = GetParam();
  SetUpDisplay();
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  LPDIRECTDRAWSURFACE7 sprite = CreateOffscreen(direct_draw, 8, 8);
  EXPECT_EQ(Diag().live_objects(), 5);

  if (also_release_back_buffer) {
    EXPECT_EQ(back_buffer->Release(), 1u) << "the chain's own";
  }
  EXPECT_EQ(primary->Release(), 0u);
  EXPECT_EQ(back_buffer->IsLost(), DDERR_INVALIDOBJECT) << "ended with its primary";
  EXPECT_EQ(back_buffer->Release(), 0u) << "harmless after the chain ended";
  EXPECT_EQ(sprite->Release(), 0u);
  EXPECT_EQ(palette->Release(), 0u);
  EXPECT_EQ(direct_draw->Release(), 0u);
  EXPECT_EQ(Diag().live_objects(), 0);
}

INSTANTIATE_TEST_SUITE_P(BackBuffer, GameReleaseOrderTest, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "AlsoReleased" : "LeftToThePrimary");
});

TEST_F(DirectDrawTest, AttachedPaletteLivesAsLongAsItsSurface) {
  SetUpDisplay();
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  EXPECT_EQ(palette->Release(), 1u);
  DWORD caps = 0;
  EXPECT_EQ(palette->GetCaps(&caps), DD_OK);
  ASSERT_EQ(primary->SetPalette(NULL), DD_OK);
  EXPECT_EQ(palette->GetCaps(&caps), DDERR_INVALIDOBJECT);
  direct_draw->Release();
  EXPECT_EQ(Diag().live_objects(), 0);
}

TEST_F(DirectDrawTest, ReleasingTheObjectEndsItsSurfacesAndPalettes) {
  SetUpDisplay();
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  LPDIRECTDRAWSURFACE7 sprite = CreateOffscreen(direct_draw, 8, 8);
  EXPECT_EQ(direct_draw->Release(), 0u);
  EXPECT_EQ(Diag().live_objects(), 0);
  EXPECT_FALSE(host.exclusive());
  EXPECT_EQ(sprite->IsLost(), DDERR_INVALIDOBJECT);
  EXPECT_EQ(palette->Release(), 0u);
}

TEST_F(DirectDrawTest, CallsOnReleasedObjectsAnswerInvalidObject) {
  SetUpDisplay();
  LPDIRECTDRAWSURFACE7 sprite = CreateOffscreen(direct_draw, 8, 8);
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  LPDIRECTDRAWSURFACE7 live_sprite = CreateOffscreen(direct_draw, 8, 8);
  ASSERT_EQ(sprite->Release(), 0u);
  ASSERT_EQ(palette->Release(), 0u);

  RECT rect = {0, 0, 1, 1};
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  DDCOLORKEY key = {0, 0};
  HDC dc = nullptr;
  PALETTEENTRY entry{};
  EXPECT_EQ(sprite->BltFast(0, 0, live_sprite, &rect, 0), DDERR_INVALIDOBJECT);
  EXPECT_EQ(live_sprite->BltFast(0, 0, sprite, &rect, 0), DDERR_INVALIDOBJECT);
  EXPECT_EQ(sprite->Lock(NULL, &desc, 0, NULL), DDERR_INVALIDOBJECT);
  EXPECT_EQ(sprite->GetSurfaceDesc(&desc), DDERR_INVALIDOBJECT);
  EXPECT_EQ(sprite->GetDC(&dc), DDERR_INVALIDOBJECT);
  EXPECT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, &key), DDERR_INVALIDOBJECT);
  EXPECT_EQ(sprite->Restore(), DDERR_INVALIDOBJECT);
  EXPECT_EQ(live_sprite->SetPalette(palette), DDERR_INVALIDOBJECT);
  EXPECT_EQ(palette->GetEntries(0, 0, 1, &entry), DDERR_INVALIDOBJECT);
  EXPECT_EQ(sprite->AddRef(), 0u);
  EXPECT_EQ(sprite->Release(), 0u);

  ASSERT_EQ(direct_draw->Release(), 0u);
  EXPECT_EQ(primary->Flip(NULL, 0), DDERR_INVALIDOBJECT);
  EXPECT_EQ(direct_draw->CreateSurface(&desc, &sprite, NULL), DDERR_INVALIDOBJECT);
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 480, 8, 0, 0), DDERR_INVALIDOBJECT);
  EXPECT_EQ(direct_draw->Release(), 0u);
  EXPECT_EQ(Diag().live_objects(), 0);
}

TEST_F(DirectDrawTest, ResetTurnsHeldObjectsIntoReleasedShells) {
  SetUpDisplay();
  CreateOffscreen(direct_draw, 8, 8);
  host.Reset();
  EXPECT_EQ(Diag().live_objects(), 0);
  EXPECT_FALSE(host.exclusive());
  // The shells were freed with the reset; a fresh object starts from nothing.
  LPDIRECTDRAW7 fresh = CreateNormalObject();
  LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(fresh, 2, 2);
  EXPECT_EQ(surface->IsLost(), DD_OK);
  EXPECT_EQ(Diag().live_objects(), 2);
  fresh->Release();
}

TEST_F(DirectDrawTest, JournalNamesReleasesByHandle) {
  SetUpDisplay();
  host.diagnostics().SetJournalEnabled(true);
  std::ostringstream primary_text;
  primary_text << static_cast<const void*>(primary);
  primary->Release();
  const auto& journal = host.diagnostics().journal();
  ASSERT_EQ(journal.size(), 1u) << "the back buffer ends without a call of its own";
  EXPECT_EQ(journal[0].operation, "IDirectDrawSurface7::Release");
  EXPECT_EQ(journal[0].arguments, primary_text.str());
  direct_draw->Release();
}

}  // namespace
