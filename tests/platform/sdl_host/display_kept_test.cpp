// DirectDraw's exclusive display when the host shows it in a window: another window's
// activation leaves it in place, minimising still takes it. On the headless host.
#include <gtest/gtest.h>

#include <ostream>

#include "hosts/headless/headless_host.h"
#include "platform.h"

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

class DisplayKeptTest : public testing::TestWithParam<KeepCase> {
 protected:
  DisplayKeptTest() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(NULL);
    window_class.lpszClassName = "DisplayKeptTest";
    RegisterClassA(&window_class);
    window = CreateWindowExA(0, "DisplayKeptTest", "Display kept", WS_POPUP, 0, 0, 640, 480, NULL,
                             NULL, window_class.hInstance, NULL);
    ShowWindow(window, SW_SHOWNORMAL);
  }

  void SetUpDisplay() {
    ASSERT_EQ(
        DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&direct_draw), IID_IDirectDraw7, NULL),
        DD_OK);
    ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    ASSERT_EQ(direct_draw->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    ASSERT_EQ(direct_draw->CreateSurface(&desc, &primary, NULL), DD_OK);
    desc = DDSURFACEDESC2{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 8;
    desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    ASSERT_EQ(direct_draw->CreateSurface(&desc, &sprite, NULL), DD_OK);
  }

  void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  orv::platform::HeadlessHost host;
  HWND window = nullptr;
  LPDIRECTDRAW7 direct_draw = nullptr;
  LPDIRECTDRAWSURFACE7 primary = nullptr;
  LPDIRECTDRAWSURFACE7 sprite = nullptr;
};

TEST_P(DisplayKeptTest, LeavingTheForeground) {
  const KeepCase& c = GetParam();
  host.SetKeepsDisplayWhenInactive(c.keeps_display_when_inactive);
  SetUpDisplay();
  ASSERT_TRUE(host.exclusive());

  host.LoseFocus(c.minimized);
  PumpMessages();
  const HRESULT lost = c.lost ? DDERR_SURFACELOST : DD_OK;
  EXPECT_EQ(primary->IsLost(), lost);
  EXPECT_EQ(sprite->IsLost(), lost);
  EXPECT_EQ(direct_draw->TestCooperativeLevel(), c.lost ? DDERR_NOEXCLUSIVEMODE : DD_OK);
  EXPECT_EQ(host.exclusive(), !c.lost);
  EXPECT_EQ(primary->Flip(NULL, DDFLIP_WAIT), lost);
  EXPECT_EQ(host.presented_count(), c.lost ? 0 : 1);

  host.GainFocus();
  PumpMessages();
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
