// DirectDraw's exclusive display when the host shows it in a window: another window's
// activation leaves it in place, minimising still takes it. On the headless host.
#include <gtest/gtest.h>

#include <ostream>

#include "platform.h"
#include "platform_fixture/shown_window.h"
#include "platform_fixture/surface_pixels.h"

namespace {

struct KeepCase {
  const char* name;
  bool keeps_display_when_inactive;
  bool minimized;
  bool lost;
};

void PrintTo(const KeepCase& c, std::ostream* out) {
  *out << c.name;
}

class DisplayKeptTest : public orv::test_support::ShownWindowTest<>,
                        public testing::WithParamInterface<KeepCase> {
 protected:
  DisplayKeptTest() : ShownWindowTest({.style = WS_POPUP}) {}

  void SetUpDisplay() {
    ASSERT_NO_FATAL_FAILURE(orv::test_support::CreateExclusiveDisplay(
        window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, direct_draw, primary));
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 8;
    desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    ASSERT_EQ(direct_draw->CreateSurface(&desc, &sprite, NULL), DD_OK);
  }

  LPDIRECTDRAW7 direct_draw = nullptr;
  LPDIRECTDRAWSURFACE7 primary = nullptr;
  LPDIRECTDRAWSURFACE7 sprite = nullptr;
};

TEST_P(DisplayKeptTest, LeavingTheForeground) {
  const KeepCase& c = GetParam();
  host.SetKeepsDisplayWhenInactive(c.keeps_display_when_inactive);
  SetUpDisplay();
  ASSERT_TRUE(host.exclusive());

  SwitchAway(c.minimized);
  const HRESULT lost = c.lost ? DDERR_SURFACELOST : DD_OK;
  EXPECT_EQ(primary->IsLost(), lost);
  EXPECT_EQ(sprite->IsLost(), lost);
  EXPECT_EQ(direct_draw->TestCooperativeLevel(), c.lost ? DDERR_NOEXCLUSIVEMODE : DD_OK);
  EXPECT_EQ(host.exclusive(), !c.lost);
  EXPECT_EQ(primary->Flip(NULL, DDFLIP_WAIT), lost);
  EXPECT_EQ(host.presented_count(), c.lost ? 0 : 1);

  SwitchBack();
  EXPECT_TRUE(host.exclusive());
  EXPECT_EQ(direct_draw->TestCooperativeLevel(), DD_OK);
  direct_draw->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, DisplayKeptTest,
    testing::Values(KeepCase{"FullScreenOtherWindowActive", false, false, true},
                    KeepCase{"FullScreenMinimized", false, true, true},
                    KeepCase{"WindowedOtherWindowActive", true, false, false},
                    KeepCase{"WindowedMinimized", true, true, true}),
    [](const testing::TestParamInfo<KeepCase>& info) { return info.param.name; });

}  // namespace
