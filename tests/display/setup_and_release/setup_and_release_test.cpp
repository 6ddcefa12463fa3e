// Taking the display step by step, reporting a failed step, and giving it back.
#include <functional>
#include <string>
#include <vector>

#include "shared/game_globals.h"
#include "display/init_error.h"
#include "display/display.h"
#include "display_fixture.h"
#include "platform_fixture/surface_pixels.h"

namespace {

const std::vector<std::string> kSuccessLines = {
    "DirectDrawCreateEx OK\n", "SetCooperativeLevel OK\n",    "SetDisplayMode OK\n",
    "CreateSurface OK\n",      "GetAttachedSurface OK\n",     "DDLoadPalette OK\n",
    "SetPalette OK\n",         "DDLoadBitmap BackImage OK\n", "DDLoadBitmap Strings OK\n",
    "DDLoadBitmap Menu OK\n",  "DDLoadBitmap Character OK\n",
};

std::vector<std::string> FirstLines(int count) {
  return {kSuccessLines.begin(), kSuccessLines.begin() + count};
}

std::vector<const void*> AllHandles() {
  const DisplayObjects& d = Game.Display;
  return {d.DirectDrawObject, d.PrimarySurface, d.BackBuffer,  d.DisplayPalette,
          d.BackImageSurface, d.StringsSurface, d.MenuSurface, d.CharacterSurface};
}

using SetupTest = DisplayTest;

TEST_F(SetupTest, AllElevenStepsWriteTheirLinesInOrderAndKeyTheThreeSheets) {
  const int objects_before = host.diagnostics().live_objects();
  ASSERT_EQ(SetupDisplay(window), DD_OK);

  EXPECT_EQ(host.debug_lines(), kSuccessLines);
  EXPECT_TRUE(host.message_boxes().empty());
  for (const void* handle : AllHandles())
    EXPECT_NE(handle, nullptr);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(host.exclusive());

  LPDIRECTDRAWPALETTE attached = nullptr;
  ASSERT_EQ(Game.Display.PrimarySurface->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, Game.Display.DisplayPalette);
  attached->Release();

  // The keyed sheets carry their top-left pixel as key; the background has none.
  DDCOLORKEY key{};
  EXPECT_EQ(Game.Display.BackImageSurface->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  for (LPDIRECTDRAWSURFACE7 sheet :
       {Game.Display.StringsSurface, Game.Display.MenuSurface, Game.Display.CharacterSurface}) {
    ASSERT_EQ(sheet->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
    const orv::test_support::LockedSurface pixels(sheet);
    ASSERT_EQ(pixels.result(), DD_OK);
    EXPECT_EQ(key.dwColorSpaceLowValue, pixels.At(0, 0));
  }

  ReleaseDisplay();
  EXPECT_EQ(host.diagnostics().live_objects(), objects_before);
}

TEST_F(SetupTest, SetupAsksForTheModeAndTheSurfacesTheGameNeeds) {
  ASSERT_EQ(SetupDisplay(window), DD_OK);
  EXPECT_EQ(CallArguments("IDirectDraw7::SetCooperativeLevel"),
            std::vector<std::string>{JournalObjectText(window) + ", 0x13"});
  EXPECT_EQ(CallArguments("IDirectDraw7::SetDisplayMode"),
            std::vector<std::string>{"640, 480, 8, 0, 0x0"});
  // One palette; the primary with its back buffer, then the four sheets each the size
  // of its bitmap (flags, caps, width, height).
  EXPECT_EQ(CountCalls("IDirectDraw7::CreatePalette"), 1);
  EXPECT_EQ(
      CallArguments("IDirectDraw7::CreateSurface"),
      (std::vector<std::string>{"0x21, 0x218, 0, 0", "0x7, 0x40, 640, 480", "0x7, 0x40, 600, 96",
                                "0x7, 0x40, 276, 200", "0x7, 0x40, 640, 300"}));
}

struct StepFailure {
  int step;               // 1..11
  const char* operation;  // the platform call made to fail
  HRESULT injected;
  int skip;                 // calls of the operation that pass first
  HRESULT expected_result;  // the call's own result, or E_FAIL for the loaders
  const char* text;
  std::vector<std::string> released;  // handles given back, in order
  std::string how = {};               // what failed, where a step can fail in more ways
};

class SetupFailureTest : public DisplayTest, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(SetupFailureTest, ReportsTheStepReleasesWhatWasMadeAndDestroysTheWindow) {
  const StepFailure& failure = GetParam();
  const int objects_before = host.diagnostics().live_objects();
  host.diagnostics().InjectFault(failure.operation, failure.injected, 1, failure.skip);
  // The display must be gone by the time the box is up, and the window still there.
  std::vector<bool> released_before_box;
  host.OnMessageBox([&](orv::platform::HeadlessHost&) {
    for (const void* handle : AllHandles())
      released_before_box.push_back(handle == nullptr);
    released_before_box.push_back(IsWindow(window) != FALSE);
  });
  host.diagnostics().ClearJournal();

  EXPECT_EQ(SetupDisplay(window), failure.expected_result);

  EXPECT_EQ(host.debug_lines(), FirstLines(failure.step - 1));
  ASSERT_EQ(host.message_boxes().size(), 1u);
  EXPECT_EQ(host.message_boxes()[0].text, failure.text);
  EXPECT_EQ(host.message_boxes()[0].caption, "FullScreen Orvendal");
  EXPECT_EQ(released_before_box, std::vector<bool>(9, true));
  EXPECT_EQ(ReleasedHandles(), failure.released);
  for (const void* handle : AllHandles())
    EXPECT_EQ(handle, nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(host.diagnostics().live_objects(), objects_before);
}

const std::vector<std::string> kPrimaryAndDevice = {"PrimarySurface", "DirectDrawObject"};
const std::vector<std::string> kPrimaryPaletteAndDevice = {"PrimarySurface", "DisplayPalette",
                                                           "DirectDrawObject"};

INSTANTIATE_TEST_SUITE_P(
    EachStep, SetupFailureTest,
    ::testing::Values(
        StepFailure{1,
                    "DirectDrawCreateEx",
                    DDERR_NODIRECTDRAWHW,
                    0,
                    DDERR_NODIRECTDRAWHW,
                    "DirectDrawCreateEx FAILED",
                    {}},
        StepFailure{2,
                    "IDirectDraw7::SetCooperativeLevel",
                    DDERR_EXCLUSIVEMODEALREADYSET,
                    0,
                    DDERR_EXCLUSIVEMODEALREADYSET,
                    "SetCooperativeLevel FAILED",
                    {"DirectDrawObject"}},
        StepFailure{3,
                    "IDirectDraw7::SetDisplayMode",
                    DDERR_INVALIDMODE,
                    0,
                    DDERR_INVALIDMODE,
                    "SetDisplayMode FAILED",
                    {"DirectDrawObject"}},
        StepFailure{4,
                    "IDirectDraw7::CreateSurface",
                    DDERR_OUTOFVIDEOMEMORY,
                    0,
                    DDERR_OUTOFVIDEOMEMORY,
                    "CreateSurface FAILED",
                    {"DirectDrawObject"}},
        StepFailure{5, "IDirectDrawSurface7::GetAttachedSurface", DDERR_NOTFOUND, 0, DDERR_NOTFOUND,
                    "GetAttachedSurface FAILED", kPrimaryAndDevice},
        StepFailure{6, "IDirectDraw7::CreatePalette", DDERR_OUTOFMEMORY, 0, E_FAIL,
                    "DDLoadPalette FAILED", kPrimaryAndDevice},
        StepFailure{7, "IDirectDrawSurface7::SetPalette", DDERR_NOTPALETTIZED, 0,
                    DDERR_NOTPALETTIZED, "SetPalette FAILED", kPrimaryPaletteAndDevice},
        // Steps 8 to 11: the primary was the first surface made.
        StepFailure{8, "IDirectDraw7::CreateSurface", DDERR_OUTOFVIDEOMEMORY, 1, E_FAIL,
                    "DDLoadBitmap BackImage FAILED", kPrimaryPaletteAndDevice},
        // A surface whose bitmap could not be copied into it is given back by the loader
        // ("?": it never reached a handle).
        StepFailure{8,
                    "IDirectDrawSurface7::GetDC",
                    DDERR_SURFACEBUSY,
                    0,
                    E_FAIL,
                    "DDLoadBitmap BackImage FAILED",
                    {"?", "PrimarySurface", "DisplayPalette", "DirectDrawObject"},
                    "Copy"},
        StepFailure{9,
                    "IDirectDraw7::CreateSurface",
                    DDERR_OUTOFVIDEOMEMORY,
                    2,
                    E_FAIL,
                    "DDLoadBitmap Strings FAILED",
                    {"PrimarySurface", "BackImageSurface", "DisplayPalette", "DirectDrawObject"}},
        StepFailure{10,
                    "IDirectDraw7::CreateSurface",
                    DDERR_OUTOFVIDEOMEMORY,
                    3,
                    E_FAIL,
                    "DDLoadBitmap Menu FAILED",
                    {"PrimarySurface", "BackImageSurface", "StringsSurface", "DisplayPalette",
                     "DirectDrawObject"}},
        StepFailure{11,
                    "IDirectDraw7::CreateSurface",
                    DDERR_OUTOFVIDEOMEMORY,
                    4,
                    E_FAIL,
                    "DDLoadBitmap Character FAILED",
                    {"PrimarySurface", "BackImageSurface", "StringsSurface", "MenuSurface",
                     "DisplayPalette", "DirectDrawObject"}}),
    [](const ::testing::TestParamInfo<StepFailure>& info) {
      return "Step" + std::to_string(info.param.step) + info.param.how;
    });

// The sheet's line is written once it is loaded; its key comes after.
TEST_F(SetupTest, AKeyThatCannotBeReadFailsItsSheetsStep) {
  host.diagnostics().InjectFault("IDirectDrawSurface7::Lock", DDERR_SURFACEBUSY);
  EXPECT_EQ(SetupDisplay(window), E_FAIL);
  EXPECT_EQ(host.debug_lines(), FirstLines(9));
  ASSERT_EQ(host.message_boxes().size(), 1u);
  EXPECT_EQ(host.message_boxes()[0].text, "DDLoadBitmap Strings FAILED");
  for (const void* handle : AllHandles())
    EXPECT_EQ(handle, nullptr);
}

TEST_F(SetupTest, ABitmapFoundNeitherAsResourceNorAsFileFailsItsStep) {
  // BACKIMAGE is found as a resource; both tries for STRINGS find nothing.
  host.diagnostics().InjectFault("LoadImageA", 0, 2, 1);
  EXPECT_EQ(SetupDisplay(window), E_FAIL);
  EXPECT_EQ(LoadImageNames(), (std::vector<std::string>{"BACKIMAGE", "STRINGS", "STRINGS"}));
  EXPECT_EQ(host.debug_lines(), FirstLines(8));
  ASSERT_EQ(host.message_boxes().size(), 1u);
  EXPECT_EQ(host.message_boxes()[0].text, "DDLoadBitmap Strings FAILED");
}

TEST_F(SetupTest, ReleaseGivesBackEveryObjectInOrderAndASecondReleaseDoesNothing) {
  const int objects_before = host.diagnostics().live_objects();
  ASSERT_EQ(SetupDisplay(window), DD_OK);
  host.diagnostics().ClearJournal();

  ReleaseDisplay();
  EXPECT_EQ(ReleasedHandles(),
            (std::vector<std::string>{"PrimarySurface", "BackImageSurface", "StringsSurface",
                                      "MenuSurface", "CharacterSurface", "DisplayPalette",
                                      "DirectDrawObject"}));
  for (const void* handle : AllHandles())
    EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(host.diagnostics().live_objects(), objects_before);
  EXPECT_FALSE(host.exclusive());

  host.diagnostics().ClearJournal();
  ReleaseDisplay();
  EXPECT_TRUE(host.diagnostics().journal().empty());
}

TEST_F(SetupTest, ReleaseBeforeSetupDoesNothing) {
  ReleaseDisplay();
  EXPECT_TRUE(host.diagnostics().journal().empty());
}

struct ReportCase {
  const char* name;
  std::function<HRESULT(HWND)> report;
  std::string shown;
};

class InitErrorReportTest : public DisplayTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(InitErrorReportTest, ShowsTheTextOverTheWindowThenDestroysItAndAnswersTheResult) {
  ASSERT_EQ(SetupDisplay(window), DD_OK);
  host.diagnostics().ClearJournal();
  EXPECT_EQ(GetParam().report(window), DDERR_INVALIDMODE);
  ASSERT_EQ(host.message_boxes().size(), 1u);
  EXPECT_EQ(host.message_boxes()[0].text, GetParam().shown);
  EXPECT_EQ(CallArguments("MessageBoxA").at(0), JournalObjectText(window) + ", \"" +
                                                    GetParam().shown +
                                                    "\", \"FullScreen Orvendal\", 0x0000");
  EXPECT_EQ(ReleasedHandles().size(), 7u);
  EXPECT_FALSE(IsWindow(window));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, InitErrorReportTest,
    ::testing::Values(ReportCase{"Fixed",
                                 [](HWND w) {
                                   return ShowInitError(w, DDERR_INVALIDMODE,
                                                        "SetDisplayMode FAILED");
                                 },
                                 "SetDisplayMode FAILED"},
                      ReportCase{"Formatted",
                                 [](HWND w) {
                                   return ShowInitError(w, DDERR_INVALIDMODE, "%s %d of %03d",
                                                        "step", 3, 11);
                                 },
                                 "step 3 of 011"},
                      ReportCase{"CutAt127Characters",
                                 [](HWND w) {
                                   return ShowInitError(w, DDERR_INVALIDMODE, "%s%s",
                                                        std::string(100, 'a').c_str(),
                                                        std::string(100, 'b').c_str());
                                 },
                                 std::string(100, 'a') + std::string(27, 'b')}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

}  // namespace
