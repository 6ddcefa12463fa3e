// Bitmaps into surfaces: DDLoadBitmap, ReloadBitmapSurface, BlitBitmapToSurface, and
// the sheets as set-up leaves them.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shared/game_globals.h"
#include "display/bitmap_loading.h"
#include "display/display.h"
#include "display_fixture.h"
#include "platform_fixture/surface_pixels.h"

namespace {

const std::string kAssets = ORV_ASSETS_DIR;

// A bitmap file of the art, read straight from disk.
struct ArtFile {
  int width = 0;
  int height = 0;
  std::vector<RGBQUAD> colors;
  std::vector<BYTE> indices;  // rows top-down

  BYTE At(int x, int y) const { return indices[y * width + x]; }
};

ArtFile ReadArt(const std::string& name) {
  ArtFile art;
  std::FILE* file = std::fopen((kAssets + "/" + name).c_str(), "rb");
  if (file == nullptr)
    return art;
  std::vector<BYTE> bytes;
  BYTE buffer[4096];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof(buffer), file)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + read);
  std::fclose(file);
  if (bytes.size() < 54 + 1024)
    return art;
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data() + 14, sizeof(header));
  art.width = header.biWidth;
  art.height = header.biHeight;
  art.colors.resize(256);
  std::memcpy(art.colors.data(), bytes.data() + 14 + header.biSize, 1024);
  const BYTE* pixels = bytes.data() + 14 + header.biSize + 1024;
  if (bytes.size() < 14 + header.biSize + 1024 + std::size_t(art.width) * art.height)
    return {};
  for (int y = art.height - 1; y >= 0; --y)  // stored bottom-up
    art.indices.insert(art.indices.end(), pixels + y * art.width, pixels + (y + 1) * art.width);
  return art;
}

struct SurfacePixels {
  DWORD width = 0;
  DWORD height = 0;
  std::vector<BYTE> indices;
  BYTE At(int x, int y) const { return indices[y * width + x]; }
};

SurfacePixels ReadSurface(LPDIRECTDRAWSURFACE7 surface) {
  if (surface == nullptr)
    return {};
  const orv::test_support::LockedSurface locked(surface);
  if (!locked.locked())
    return {};
  return {locked.width(), locked.height(), locked.Rows()};
}

class BitmapSurfaceTest : public DisplayTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(SetupDisplay(window), DD_OK);
    host.diagnostics().ClearJournal();
  }
};

TEST_F(BitmapSurfaceTest, SheetsOfTheBackgroundsColoursHoldTheirBitmapsIndicesUpright) {
  for (const auto& [file, surface] : {std::pair{"strings.bmp", Game.Display.StringsSurface},
                                      std::pair{"menu.bmp", Game.Display.MenuSurface},
                                      std::pair{"backimage.bmp", Game.Display.BackImageSurface}}) {
    SCOPED_TRACE(file);
    const ArtFile art = ReadArt(file);
    ASSERT_FALSE(art.indices.empty());
    const SurfacePixels pixels = ReadSurface(surface);
    EXPECT_EQ(pixels.width, static_cast<DWORD>(art.width));
    EXPECT_EQ(pixels.height, static_cast<DWORD>(art.height));
    EXPECT_TRUE(pixels.indices == art.indices);
  }
}

// The character sheet's key is the display entry its blue background maps to, and no
// pixel of the two cells cut from it that is not background takes that value.
TEST_F(BitmapSurfaceTest, TheCharacterSheetsKeyHidesOnlyItsBlueBackground) {
  DDCOLORKEY key = {};
  ASSERT_EQ(Game.Display.CharacterSurface->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);

  // Where the platform puts pure blue on this display.
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = desc.dwHeight = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  LPDIRECTDRAWSURFACE7 scratch = nullptr;
  ASSERT_EQ(Game.Display.DirectDrawObject->CreateSurface(&desc, &scratch, NULL), DD_OK);
  const DWORD blue = ProbeSurfaceColor(scratch, RGB(0, 0, 255));
  scratch->Release();
  EXPECT_EQ(key.dwColorSpaceLowValue, blue);

  const ArtFile art = ReadArt("character.bmp");
  ASSERT_FALSE(art.indices.empty());
  const SurfacePixels sheet = ReadSurface(Game.Display.CharacterSurface);
  ASSERT_EQ(sheet.indices.size(), art.indices.size());
  const RECT cells[] = {{144, 0, 192, 46}, {58, 144, 116, 202}};
  for (const RECT& cell : cells) {
    int sprite_pixels = 0;
    for (LONG y = cell.top; y < cell.bottom; ++y) {
      for (LONG x = cell.left; x < cell.right; ++x) {
        const RGBQUAD colour = art.colors[art.At(x, y)];
        const bool background = colour.rgbRed == 0 && colour.rgbGreen == 0 && colour.rgbBlue == 255;
        if (background) {
          EXPECT_EQ(sheet.At(x, y), key.dwColorSpaceLowValue) << x << ", " << y;
        } else {
          ++sprite_pixels;
          EXPECT_NE(sheet.At(x, y), key.dwColorSpaceLowValue) << x << ", " << y;
        }
      }
    }
    EXPECT_GT(sprite_pixels, 0);
  }
}

TEST_F(BitmapSurfaceTest, ANameThatIsNoResourceIsLoadedAsAFile) {
  const std::string path = kAssets + "/menu.bmp";
  LPDIRECTDRAWSURFACE7 surface = DDLoadBitmap(Game.Display.DirectDrawObject, path.c_str(), 0, 0);
  ASSERT_NE(surface, nullptr);
  const std::string module = JournalObjectText(GetModuleHandleA(NULL));
  EXPECT_EQ(
      CallArguments("LoadImageA"),
      (std::vector<std::string>{module + ", \"" + path + "\", 0, 0, 0, 8192",
                                JournalObjectText(nullptr) + ", \"" + path + "\", 0, 0, 0, 8208"}));
  EXPECT_TRUE(ReadSurface(surface).indices == ReadSurface(Game.Display.MenuSurface).indices);
  surface->Release();
}

TEST_F(BitmapSurfaceTest, AGivenSizeScalesTheBitmap) {
  LPDIRECTDRAWSURFACE7 surface = DDLoadBitmap(Game.Display.DirectDrawObject, "MENU", 138, 100);
  ASSERT_NE(surface, nullptr);
  const SurfacePixels pixels = ReadSurface(surface);
  EXPECT_EQ(pixels.width, 138u);
  EXPECT_EQ(pixels.height, 100u);
  surface->Release();
}

TEST_F(BitmapSurfaceTest, ABitmapThatCannotBeLoadedOrPlacedGivesNoSurfaceAndNoLine) {
  const int objects_before = host.diagnostics().live_objects();
  EXPECT_EQ(DDLoadBitmap(Game.Display.DirectDrawObject, "NO SUCH BITMAP", 0, 0), nullptr);
  EXPECT_EQ(CountCalls("IDirectDraw7::CreateSurface"), 0);

  host.diagnostics().InjectFault("IDirectDraw7::CreateSurface", DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(DDLoadBitmap(Game.Display.DirectDrawObject, "MENU", 0, 0), nullptr);
  EXPECT_EQ(CountCalls("DeleteObject"), 1);
  EXPECT_EQ(host.diagnostics().live_objects(), objects_before);
  EXPECT_EQ(host.debug_lines().size(), 11u);  // set-up's lines only
}

TEST_F(BitmapSurfaceTest, ReloadDrawsTheBitmapAgainOrSaysWhyNot) {
  LPDIRECTDRAWSURFACE7 menu = Game.Display.MenuSurface;
  const SurfacePixels loaded = ReadSurface(menu);
  RECT whole = {0, 0, 276, 200};
  ASSERT_EQ(menu->BltFast(0, 0, Game.Display.BackImageSurface, &whole, DDBLTFAST_NOCOLORKEY),
            DD_OK);
  ASSERT_FALSE(ReadSurface(menu).indices == loaded.indices);

  EXPECT_EQ(ReloadBitmapSurface(menu, "MENU"), DD_OK);
  EXPECT_TRUE(ReadSurface(menu).indices == loaded.indices);
  EXPECT_EQ(host.debug_lines().size(), 11u);

  EXPECT_EQ(ReloadBitmapSurface(menu, "NO SUCH BITMAP"), E_FAIL);
  EXPECT_EQ(host.debug_lines().back(), "handle is null\n");

  host.diagnostics().InjectFault("IDirectDrawSurface7::GetDC", DDERR_DCALREADYCREATED);
  EXPECT_EQ(ReloadBitmapSurface(menu, "MENU"), DDERR_DCALREADYCREATED);
  EXPECT_EQ(host.debug_lines().back(), "ddcopybitmap failed\n");
  EXPECT_EQ(CountCalls("LoadImageA"), CountCalls("DeleteObject") + 2);  // the missing name
}

TEST_F(BitmapSurfaceTest, CopyWithoutASurfaceOrBitmapFailsAtOnce) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(NULL), "MENU", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  host.diagnostics().ClearJournal();
  EXPECT_EQ(BlitBitmapToSurface(NULL, bitmap, 0, 0, 0, 0), E_FAIL);
  EXPECT_EQ(BlitBitmapToSurface(Game.Display.MenuSurface, NULL, 0, 0, 0, 0), E_FAIL);
  EXPECT_TRUE(host.diagnostics().journal().empty());
  DeleteObject(bitmap);
}

// Each step of the copy that fails makes the whole copy fail; the surface keeps its pixels.
TEST_F(BitmapSurfaceTest, ACopyWithAFailingStepReportsItAndLeavesThePixels) {
  struct Case {
    const char* operation;
    std::int32_t result;
    std::vector<std::string> lines;
  };
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(NULL), "STRINGS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  const SurfacePixels before = ReadSurface(Game.Display.MenuSurface);
  for (const Case& c :
       {Case{"CreateCompatibleDC", 0, {"createcompatible dc failed\n"}},
        Case{"SelectObject", 0, {}},
        Case{"IDirectDrawSurface7::GetSurfaceDesc", DDERR_INVALIDOBJECT, {}},
        Case{"IDirectDrawSurface7::GetDC", DDERR_SURFACEBUSY, {}}, Case{"StretchBlt", 0, {}}}) {
    const std::size_t lines_before = host.debug_lines().size();
    host.diagnostics().InjectFault(c.operation, c.result);
    EXPECT_NE(BlitBitmapToSurface(Game.Display.MenuSurface, bitmap, 0, 0, 0, 0), DD_OK)
        << c.operation;
    EXPECT_EQ(std::vector<std::string>(host.debug_lines().begin() + lines_before,
                                       host.debug_lines().end()),
              c.lines)
        << c.operation;
    EXPECT_TRUE(ReadSurface(Game.Display.MenuSurface).indices == before.indices) << c.operation;
  }
  DeleteObject(bitmap);
}

TEST_F(BitmapSurfaceTest, ALoadWhoseCopyFailsMakesNoSurface) {
  const int objects_before = host.diagnostics().live_objects();
  host.diagnostics().InjectFault("StretchBlt", 0);
  EXPECT_EQ(DDLoadBitmap(Game.Display.DirectDrawObject, "MENU", 0, 0), nullptr);
  EXPECT_EQ(host.diagnostics().live_objects(), objects_before);
}

}  // namespace
