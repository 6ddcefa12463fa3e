// Blit and flip on a busy or lost display, and the recovery of lost surfaces.
#include <string>
#include <vector>

#include "display/busy_retry.h"
#include "display/display.h"
#include "display_fixture.h"
#include "platform_fixture/surface_pixels.h"
#include "shared/game_globals.h"

namespace {

using orv::test_support::LockedSurface;
using orv::test_support::ReadPixels;

const std::vector<std::string> kAllBitmaps = {"BACKIMAGE", "STRINGS", "MENU", "CHARACTER"};

struct Fault {
  const char* operation;
  HRESULT result;
  int count;
  int skip;
};

class PresentationTest : public DisplayTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(SetupDisplay(window), DD_OK);
    host.diagnostics().ClearJournal();
  }
  void Inject(const std::vector<Fault>& faults) {
    for (const Fault& fault : faults) {
      if (fault.operation == nullptr)
        continue;
      host.diagnostics().InjectFault(fault.operation, fault.result, fault.count, fault.skip);
    }
  }
  // The title logo from the menu sheet, as the title menu draws it.
  HRESULT BlitLogo() {
    RECT logo = {0, 0, 220, 32};
    return BlitSprite(Game.Display.BackBuffer, 210, 100, Game.Display.MenuSurface, &logo,
                      DDBLTFAST_SRCCOLORKEY);
  }
};

struct BlitCase {
  const char* name;
  std::vector<Fault> faults;
  HRESULT expected_result;
  int copy_attempts;
  int restores;  // restores of the primary and the sheets, reloads included
  std::vector<std::string> reloaded;
};

class BlitSpriteTest : public PresentationTest, public ::testing::WithParamInterface<BlitCase> {};

TEST_P(BlitSpriteTest, RetriesWhileBusyAndRecoversWithoutRepeatingTheCopy) {
  const BlitCase& blit = GetParam();
  Inject(blit.faults);
  EXPECT_EQ(BlitLogo(), blit.expected_result);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), blit.copy_attempts);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Restore"), blit.restores);
  EXPECT_EQ(LoadImageNames(), blit.reloaded);
  const auto restored = CallArguments("IDirectDrawSurface7::Restore");
  if (!restored.empty()) {
    EXPECT_EQ(restored[0], JournalObjectText(Game.Display.PrimarySurface));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlitSpriteTest,
    ::testing::Values(BlitCase{"Copied", {}, DD_OK, 1, 0, {}},
                      BlitCase{"BusyThreeTimes",
                               {{"IDirectDrawSurface7::BltFast", DDERR_WASSTILLDRAWING, 3, 0}},
                               DD_OK,
                               4,
                               0,
                               {}},
                      // Primary, then each sheet restored and restored again by its reload.
                      BlitCase{"LostAndRecovered",
                               {{"IDirectDrawSurface7::BltFast", DDERR_SURFACELOST, 1, 0}},
                               DD_OK,
                               1,
                               9,
                               kAllBitmaps},
                      BlitCase{"LostWhileTheDisplayIsAway",
                               {{"IDirectDrawSurface7::BltFast", DDERR_SURFACELOST, 1, 0},
                                {"IDirectDrawSurface7::Restore", DDERR_WRONGMODE, 1, 0}},
                               DDERR_WRONGMODE,
                               1,
                               1,
                               {}},
                      BlitCase{
                          "BusyForEver",
                          {{"IDirectDrawSurface7::BltFast", DDERR_WASSTILLDRAWING, 1 << 30, 0}},
                          DDERR_WASSTILLDRAWING,
                          kBusyRetryAttempts,
                          0,
                          {}},
                      BlitCase{"OtherFailure",
                               {{"IDirectDrawSurface7::BltFast", DDERR_INVALIDRECT, 1, 0}},
                               DDERR_INVALIDRECT,
                               1,
                               0,
                               {}}),
    [](const ::testing::TestParamInfo<BlitCase>& info) { return std::string(info.param.name); });

TEST_F(PresentationTest, AKeyedBlitCopiesTheCellExceptItsKeyPixels) {
  RECT background = {0, 0, 640, 480};
  ASSERT_EQ(BlitSprite(Game.Display.BackBuffer, 0, 0, Game.Display.BackImageSurface, &background,
                       DDBLTFAST_NOCOLORKEY),
            DD_OK);
  ASSERT_EQ(BlitLogo(), DD_OK);

  DDCOLORKEY key{};
  ASSERT_EQ(Game.Display.MenuSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  int keyed = 0, drawn = 0, wrong = 0;
  {
    LockedSurface menu(Game.Display.MenuSurface);
    ASSERT_EQ(menu.result(), DD_OK);
    LockedSurface back(Game.Display.BackImageSurface);
    ASSERT_EQ(back.result(), DD_OK);
    LockedSurface screen(Game.Display.BackBuffer);
    ASSERT_EQ(screen.result(), DD_OK);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 220; ++x) {
        const BYTE sprite = menu.At(x, y);
        const BYTE under = back.At(210 + x, 100 + y);
        const BYTE shown = screen.At(210 + x, 100 + y);
        const bool is_key = sprite == key.dwColorSpaceLowValue;
        (is_key ? keyed : drawn) += 1;
        wrong += shown != (is_key ? under : sprite);
      }
    }
  }
  EXPECT_GT(keyed, 0);
  EXPECT_GT(drawn, 0);
  EXPECT_EQ(wrong, 0);
}

TEST_F(PresentationTest, ASwitchAwayLosesTheSheetsAndTheNextBlitBringsThemBack) {
  const auto character = ReadPixels(Game.Display.CharacterSurface);
  ASSERT_FALSE(character.empty());

  SwitchAway(true);
  ASSERT_EQ(Game.Display.CharacterSurface->IsLost(), DDERR_SURFACELOST);
  SwitchBack();

  // The first blit meets the loss and recovers; the sprite itself waits for the next frame.
  host.diagnostics().ClearJournal();
  EXPECT_EQ(BlitLogo(), DD_OK);
  EXPECT_EQ(LoadImageNames(), kAllBitmaps);
  EXPECT_EQ(Game.Display.CharacterSurface->IsLost(), DD_OK);
  EXPECT_EQ(ReadPixels(Game.Display.CharacterSurface), character);
  EXPECT_EQ(BlitLogo(), DD_OK);
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), 2);
}

struct FlipCase {
  const char* name;
  Fault fault;
  int flips;
  int restores;
  int presented;
};

class FlipDisplayTest : public PresentationTest, public ::testing::WithParamInterface<FlipCase> {};

TEST_P(FlipDisplayTest, RetriesWhileBusyAndRestoresOnlyThePrimaryWhenLost) {
  const FlipCase& flip = GetParam();
  Inject({flip.fault});
  const int presented_before = host.presented_count();
  FlipDisplay();
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::Flip"), flip.flips);
  EXPECT_EQ(
      CallArguments("IDirectDrawSurface7::Restore"),
      std::vector<std::string>(flip.restores, JournalObjectText(Game.Display.PrimarySurface)));
  EXPECT_TRUE(LoadImageNames().empty());
  EXPECT_EQ(host.presented_count() - presented_before, flip.presented);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlipDisplayTest,
    ::testing::Values(
        FlipCase{"Shown", {nullptr, 0, 0, 0}, 1, 0, 1},
        FlipCase{"BusyTwice", {"IDirectDrawSurface7::Flip", DDERR_WASSTILLDRAWING, 2, 0}, 3, 0, 1},
        FlipCase{"BusyForEver",
                 {"IDirectDrawSurface7::Flip", DDERR_WASSTILLDRAWING, 1 << 30, 0},
                 kBusyRetryAttempts,
                 0,
                 0},
        FlipCase{"Lost", {"IDirectDrawSurface7::Flip", DDERR_SURFACELOST, 1, 0}, 1, 1, 0},
        FlipCase{"OtherFailure", {"IDirectDrawSurface7::Flip", DDERR_GENERIC, 1, 0}, 1, 0, 0}),
    [](const ::testing::TestParamInfo<FlipCase>& info) { return std::string(info.param.name); });

struct RestoreCase {
  const char* name;
  int skip;  // Restore calls that pass before the failing one
  std::vector<std::string> reloaded;
  HRESULT expected_result;
};

class RestoreSurfacesTest : public PresentationTest,
                            public ::testing::WithParamInterface<RestoreCase> {};

// Restore calls run: primary, then for each sheet its own restore and, when that
// passed, the one its reload makes.
TEST_P(RestoreSurfacesTest, ReloadsEverySheetThatCameBackAndAnswersTheFirstFailure) {
  const RestoreCase& restore = GetParam();
  Inject({{"IDirectDrawSurface7::Restore", DDERR_WRONGMODE, 1, restore.skip}});
  EXPECT_EQ(RestoreSurfaces(), restore.expected_result);
  EXPECT_EQ(LoadImageNames(), restore.reloaded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreSurfacesTest,
    ::testing::Values(
        RestoreCase{"PrimaryStaysLost", 0, {}, DDERR_WRONGMODE},
        RestoreCase{"BackImageStaysLost", 1, {"STRINGS", "MENU", "CHARACTER"}, DDERR_WRONGMODE},
        RestoreCase{"MenuStaysLost", 5, {"BACKIMAGE", "STRINGS", "CHARACTER"}, DDERR_WRONGMODE},
        RestoreCase{"CharacterStaysLost", 7, {"BACKIMAGE", "STRINGS", "MENU"}, DDERR_WRONGMODE},
        RestoreCase{"AllBack", 9, kAllBitmaps, DD_OK}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

// A sheet whose bitmap could not be copied back is copied again before it is next drawn
// from, and only until that works; the other sheets are not loaded again.
TEST_F(PresentationTest, ASheetWhoseReloadFailedIsReloadedBeforeItIsNextDrawn) {
  // The menu sheet's reload finds no bitmap, neither as a resource nor as a file.
  Inject({{"IDirectDrawSurface7::BltFast", DDERR_SURFACELOST, 1, 0}, {"LoadImageA", 0, 2, 2}});
  EXPECT_EQ(BlitLogo(), E_FAIL);
  EXPECT_EQ(LoadImageNames(),
            (std::vector<std::string>{"BACKIMAGE", "STRINGS", "MENU", "MENU", "CHARACTER"}));
  EXPECT_NE(host.debug_lines().back().find("handle is null"), std::string::npos);

  host.diagnostics().ClearJournal();
  RECT background = {0, 0, 640, 480};
  EXPECT_EQ(BlitSprite(Game.Display.BackBuffer, 0, 0, Game.Display.BackImageSurface, &background,
                       DDBLTFAST_NOCOLORKEY),
            DD_OK);
  EXPECT_TRUE(LoadImageNames().empty());

  EXPECT_EQ(BlitLogo(), DD_OK);
  EXPECT_EQ(BlitLogo(), DD_OK);
  EXPECT_EQ(LoadImageNames(), std::vector<std::string>{"MENU"});
  EXPECT_EQ(CountCalls("IDirectDrawSurface7::BltFast"), 3);
}

TEST_F(PresentationTest, ABusyDeviceIsGivenATwoMillisecondsAtMost) {
  host.SetClockReadCostMicroseconds(100);
  Inject({{"IDirectDrawSurface7::BltFast", DDERR_WASSTILLDRAWING, 1 << 30, 0}});
  const std::uint64_t start = host.NowMicroseconds();
  EXPECT_EQ(BlitLogo(), DDERR_WASSTILLDRAWING);
  const std::uint64_t busy_for = host.NowMicroseconds() - start;
  EXPECT_GE(busy_for, 2000u);
  EXPECT_LE(busy_for, 2300u);
  EXPECT_LT(CountCalls("IDirectDrawSurface7::BltFast"), 30);
}

}  // namespace
