// Flip: the chain's memory swaps, the new front reaches the host, at 60 frames a second.
#include <cstdint>
#include <vector>

#include "ddraw_fixture.h"

namespace {

constexpr std::uint64_t kSecond = 1'000'000;

using FlipTest = ExclusiveDisplayTest;

TEST_F(FlipTest, ShowsTheBackBufferAndTheHandleKeepsNamingTheBackBuffer) {
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw, 100);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  FillPixels(back_buffer, 1);
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  ASSERT_EQ(host.presented_count(), 1);
  const auto& frame = host.last_frame();
  EXPECT_EQ(frame.width, 640);
  EXPECT_EQ(frame.height, 480);
  EXPECT_EQ(frame.indices, std::vector<std::uint8_t>(640 * 480, 1));
  EXPECT_EQ(frame.palette[1].peRed, 101);
  EXPECT_EQ(frame.palette[1].peGreen, 254);

  // The back buffer now holds the former front (never drawn): draw the next frame into it.
  EXPECT_EQ(ReadPixels(back_buffer), std::vector<std::uint8_t>(640 * 480, 0));
  FillPixels(back_buffer, 2);
  ASSERT_EQ(primary->Flip(back_buffer, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(host.last_frame().indices, std::vector<std::uint8_t>(640 * 480, 2));
  EXPECT_EQ(ReadPixels(back_buffer), std::vector<std::uint8_t>(640 * 480, 1));
  palette->Release();
}

TEST_F(FlipTest, PaletteChangesShowAtTheNextFlip) {
  LPDIRECTDRAWPALETTE palette = CreatePalette(direct_draw);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  PALETTEENTRY white = {255, 255, 255, 0};
  ASSERT_EQ(palette->SetEntries(0, 0, 1, &white), DD_OK);
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  EXPECT_EQ(host.last_frame().RgbAt(0, 0), 0xFFFFFFu);

  // Detached, the display shows the default colours (index 0 is black).
  ASSERT_EQ(primary->SetPalette(NULL), DD_OK);
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  EXPECT_EQ(host.last_frame().RgbAt(0, 0), 0u);
  palette->Release();
}

TEST_F(FlipTest, OnlyThePrimaryOfTheChainFlips) {
  LPDIRECTDRAWSURFACE7 offscreen = CreateOffscreen(direct_draw, 8, 8);
  EXPECT_EQ(back_buffer->Flip(NULL, 0), DDERR_NOTFLIPPABLE);
  EXPECT_EQ(offscreen->Flip(NULL, 0), DDERR_NOTFLIPPABLE);
  EXPECT_EQ(primary->Flip(offscreen, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(primary->Flip(NULL, DDFLIP_WAIT | 0x2), DDERR_INVALIDPARAMS);

  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof locked;
  ASSERT_EQ(back_buffer->Lock(NULL, &locked, 0, NULL), DD_OK);
  EXPECT_EQ(primary->Flip(NULL, 0), DDERR_SURFACEBUSY);
  ASSERT_EQ(back_buffer->Unlock(NULL), DD_OK);
  EXPECT_EQ(host.presented_count(), 0);
}

TEST_F(FlipTest, SixtyFramesASecondOnTheVirtualClock) {
  host.SetNowMicroseconds(5000);
  for (int i = 0; i <= 60; ++i)
    ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  // The first frame shows at once, the sixtieth after it one second later, no drift.
  EXPECT_EQ(host.presented_count(), 61);
  EXPECT_EQ(host.last_frame().time_us, 5000 + kSecond);
  EXPECT_EQ(host.total_slept_us(), kSecond);
}

TEST_F(FlipTest, WorkTakingPartOfAFrameIsSleptOffToTheDueTime) {
  std::vector<std::uint64_t> shown_at;
  host.OnPresent([&](const auto& frame) { shown_at.push_back(frame.time_us); });
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  host.AdvanceMilliseconds(10);
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  host.AdvanceMilliseconds(20);  // late by less than a frame: no sleep, the series holds
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  EXPECT_EQ(shown_at, (std::vector<std::uint64_t>{0, 16666, 36666, 50000}));
}

TEST_F(FlipTest, LateByMoreThanAFrameStartsAfreshWithoutABurst) {
  std::vector<std::uint64_t> shown_at;
  host.OnPresent([&](const auto& frame) { shown_at.push_back(frame.time_us); });
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  host.AdvanceMilliseconds(100);
  const std::uint64_t slept_before = host.total_slept_us();
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  EXPECT_EQ(host.total_slept_us(), slept_before) << "no sleeping when late";
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  EXPECT_EQ(shown_at, (std::vector<std::uint64_t>{0, 100000, 116666}));
}

TEST_F(FlipTest, NoVsyncFlipsAtOnce) {
  ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
  ASSERT_EQ(primary->Flip(NULL, DDFLIP_NOVSYNC), DD_OK);
  EXPECT_EQ(host.total_slept_us(), 0u);
  EXPECT_EQ(host.presented_count(), 2);
}

}  // namespace
