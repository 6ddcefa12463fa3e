// Creating the DirectDraw object, its cooperative level and display mode, surfaces and palettes.
#include <cstring>
#include <ostream>

#include "ddraw_fixture.h"

namespace {

using orv::platform::Diag;

struct CreateCase {
  const char* name;
  bool display_available;
  bool wrong_iid;
  bool outer;
  GUID* device;
  HRESULT expected;
};
void PrintTo(const CreateCase& c, std::ostream* out) {
  *out << c.name;
}

class DirectDrawCreateTest : public DirectDrawTest,
                             public ::testing::WithParamInterface<CreateCase> {};

TEST_P(DirectDrawCreateTest, AnswersAndLeavesNoObjectOnFailure) {
  const CreateCase& c = GetParam();
  host.SetDisplayAvailable(c.display_available);
  IID other = IID_IDirectDraw7;
  other.Data1 ^= 1;
  IUnknown* outer = c.outer ? reinterpret_cast<IUnknown*>(&other) : nullptr;
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(DirectDrawCreateEx(c.device, &object, c.wrong_iid ? other : IID_IDirectDraw7, outer),
            c.expected);
  if (c.expected == DD_OK) {
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(Diag().live_objects(), 1);
    EXPECT_EQ(static_cast<LPDIRECTDRAW7>(object)->Release(), 0u);
  } else {
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(Diag().live_objects(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirectDrawCreateTest,
    ::testing::Values(CreateCase{"Display", true, false, false, nullptr, DD_OK},
                      CreateCase{"HardwareOnly", true, false, false, DDCREATE_HARDWAREONLY, DD_OK},
                      CreateCase{"NoDisplay", false, false, false, nullptr, DDERR_NODIRECTDRAWHW},
                      CreateCase{"WrongInterface", true, true, false, nullptr, DDERR_INVALIDPARAMS},
                      CreateCase{"Aggregated", true, false, true, nullptr, CLASS_E_NOAGGREGATION},
                      CreateCase{"UnknownDevice", true, false, false,
                                 const_cast<GUID*>(&IID_IDirectDraw7),
                                 DDERR_INVALIDDIRECTDRAWGUID}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectDrawTest, CreateWithoutOutPointerIsInvalid) {
  EXPECT_EQ(DirectDrawCreateEx(NULL, NULL, IID_IDirectDraw7, NULL), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawTest, QueryInterfaceGivesTheSameObjectWithAReference) {
  LPDIRECTDRAW7 object = CreateNormalObject();
  void* same = nullptr;
  EXPECT_EQ(object->QueryInterface(IID_IDirectDraw7, &same), S_OK);
  EXPECT_EQ(same, object);
  EXPECT_EQ(object->QueryInterface(IID_IDirectDrawSurface7, &same), E_NOINTERFACE);
  EXPECT_EQ(same, nullptr);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(object->Release(), 0u);
}

enum class WindowArg { kNone, kShown, kDestroyed };

struct LevelCase {
  const char* name;
  WindowArg window;
  DWORD flags;
  HRESULT expected;
};
void PrintTo(const LevelCase& c, std::ostream* out) {
  *out << c.name;
}

class CooperativeLevelTest : public DirectDrawTest,
                             public ::testing::WithParamInterface<LevelCase> {};

TEST_P(CooperativeLevelTest, ChecksTheWindowAndTheFlags) {
  const LevelCase& c = GetParam();
  LPDIRECTDRAW7 object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&object), IID_IDirectDraw7, NULL),
            DD_OK);
  HWND argument = c.window == WindowArg::kNone ? NULL : window;
  if (c.window == WindowArg::kDestroyed)
    DestroyWindow(window);
  EXPECT_EQ(object->SetCooperativeLevel(argument, c.flags), c.expected);
  object->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CooperativeLevelTest,
    ::testing::Values(LevelCase{"GameLevel", WindowArg::kShown,
                                DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE, DD_OK},
                      LevelCase{"NormalWithoutWindow", WindowArg::kNone, DDSCL_NORMAL, DD_OK},
                      LevelCase{"NormalWithWindow", WindowArg::kShown, DDSCL_NORMAL, DD_OK},
                      LevelCase{"ExclusiveWithoutWindow", WindowArg::kNone,
                                DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, DDERR_INVALIDPARAMS},
                      LevelCase{"ExclusiveOnDestroyedWindow", WindowArg::kDestroyed,
                                DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, DDERR_INVALIDPARAMS},
                      LevelCase{"NormalOnDestroyedWindow", WindowArg::kDestroyed, DDSCL_NORMAL,
                                DDERR_INVALIDPARAMS},
                      LevelCase{"ExclusiveWithoutFullscreen", WindowArg::kShown, DDSCL_EXCLUSIVE,
                                DDERR_INVALIDPARAMS},
                      LevelCase{"NormalAndExclusive", WindowArg::kShown,
                                DDSCL_NORMAL | DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE,
                                DDERR_INVALIDPARAMS},
                      LevelCase{"NoLevel", WindowArg::kShown, 0, DDERR_INVALIDPARAMS}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectDrawTest, OnlyOneObjectHoldsTheExclusiveLevel) {
  SetUpDisplay();
  LPDIRECTDRAW7 second = CreateNormalObject();
  EXPECT_EQ(second->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE),
            DDERR_EXCLUSIVEMODEALREADYSET);
  EXPECT_EQ(second->TestCooperativeLevel(), DDERR_EXCLUSIVEMODEALREADYSET);
  EXPECT_EQ(direct_draw->Release(), 0u);
  EXPECT_EQ(second->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  second->Release();
}

struct ModeCase {
  const char* name;
  DWORD width, height, bits, refresh, flags;
  HRESULT expected;
};
void PrintTo(const ModeCase& c, std::ostream* out) {
  *out << c.name;
}

class DisplayModeTest : public DirectDrawTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(DisplayModeTest, OnlyTheOneModeIsSetAndTheHostIsToldOfIt) {
  const ModeCase& c = GetParam();
  LPDIRECTDRAW7 object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&object), IID_IDirectDraw7, NULL),
            DD_OK);
  ASSERT_EQ(object->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  EXPECT_EQ(object->SetDisplayMode(c.width, c.height, c.bits, c.refresh, c.flags), c.expected);
  EXPECT_EQ(host.exclusive(), c.expected == DD_OK);

  DDSURFACEDESC2 mode{};
  mode.dwSize = sizeof mode;
  ASSERT_EQ(object->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(mode.dwWidth, 640u);
  EXPECT_EQ(mode.dwHeight, 480u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, c.expected == DD_OK ? 8u : 32u);

  // Releasing the object gives the desktop back.
  object->Release();
  EXPECT_FALSE(host.exclusive());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayModeTest,
    ::testing::Values(ModeCase{"GameMode", 640, 480, 8, 0, 0, DD_OK},
                      ModeCase{"SixtyHertz", 640, 480, 8, 60, 0, DD_OK},
                      ModeCase{"OtherDepth", 640, 480, 16, 0, 0, DDERR_INVALIDMODE},
                      ModeCase{"OtherSize", 800, 600, 8, 0, 0, DDERR_INVALIDMODE},
                      ModeCase{"OtherRefresh", 640, 480, 8, 75, 0, DDERR_INVALIDMODE},
                      ModeCase{"StandardVga", 640, 480, 8, 0, DDSDM_STANDARDVGAMODE,
                               DDERR_UNSUPPORTED},
                      ModeCase{"UnknownFlag", 640, 480, 8, 0, 0x100, DDERR_INVALIDPARAMS}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectDrawTest, DisplayModeNeedsTheExclusiveLevel) {
  LPDIRECTDRAW7 object = CreateNormalObject();
  EXPECT_EQ(object->SetDisplayMode(640, 480, 8, 0, 0), DDERR_NOEXCLUSIVEMODE);
  EXPECT_FALSE(host.exclusive());
  object->Release();
}

TEST_F(DirectDrawTest, RestoreDisplayModeGivesTheDesktopBack) {
  SetUpDisplay();
  ASSERT_TRUE(host.exclusive());
  EXPECT_EQ(direct_draw->RestoreDisplayMode(), DD_OK);
  EXPECT_FALSE(host.exclusive());
}

// Damages a valid description of an off-screen surface.
struct SurfaceCase {
  const char* name;
  void (*change)(DDSURFACEDESC2&);
  HRESULT expected;
};
void PrintTo(const SurfaceCase& c, std::ostream* out) {
  *out << c.name;
}

class CreateSurfaceTest : public DirectDrawTest,
                          public ::testing::WithParamInterface<SurfaceCase> {};

TEST_P(CreateSurfaceTest, RejectsBadDescriptions) {
  const SurfaceCase& c = GetParam();
  LPDIRECTDRAW7 object = CreateNormalObject();
  DDSURFACEDESC2 desc = OffscreenDesc(16, 8);
  c.change(desc);
  LPDIRECTDRAWSURFACE7 surface = reinterpret_cast<LPDIRECTDRAWSURFACE7>(&desc);
  EXPECT_EQ(object->CreateSurface(&desc, &surface, NULL), c.expected);
  EXPECT_EQ(surface, nullptr);
  EXPECT_EQ(Diag().live_objects(), 1);
  object->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateSurfaceTest,
    ::testing::Values(
        SurfaceCase{"SizeOfOldRecord", [](DDSURFACEDESC2& d) { d.dwSize = 108; },
                    DDERR_INVALIDPARAMS},
        SurfaceCase{"SizeOf32BitRecord", [](DDSURFACEDESC2& d) { d.dwSize = 124; },
                    DDERR_INVALIDPARAMS},
        SurfaceCase{"PixelFormatSize",
                    [](DDSURFACEDESC2& d) {
                      d.dwFlags |= DDSD_PIXELFORMAT;
                      d.ddpfPixelFormat = Indexed8Format();
                      d.ddpfPixelFormat.dwSize = 0;
                    },
                    DDERR_INVALIDPARAMS},
        SurfaceCase{"SixteenBitFormat",
                    [](DDSURFACEDESC2& d) {
                      d.dwFlags |= DDSD_PIXELFORMAT;
                      d.ddpfPixelFormat = Rgb32Format();
                      d.ddpfPixelFormat.dwRGBBitCount = 16;
                    },
                    DDERR_INVALIDPIXELFORMAT},
        SurfaceCase{"NoWidth", [](DDSURFACEDESC2& d) { d.dwFlags &= ~DDSD_WIDTH; },
                    DDERR_INVALIDPARAMS},
        SurfaceCase{"ZeroHeight", [](DDSURFACEDESC2& d) { d.dwHeight = 0; }, DDERR_INVALIDPARAMS},
        SurfaceCase{"HugeWidth", [](DDSURFACEDESC2& d) { d.dwWidth = 1u << 20; },
                    DDERR_OUTOFVIDEOMEMORY},
        SurfaceCase{"FlippingOffscreen",
                    [](DDSURFACEDESC2& d) { d.ddsCaps.dwCaps |= DDSCAPS_FLIP; }, DDERR_INVALIDCAPS},
        SurfaceCase{"BothMemories",
                    [](DDSURFACEDESC2& d) {
                      d.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
                    },
                    DDERR_INVALIDCAPS},
        SurfaceCase{"ClientMemory", [](DDSURFACEDESC2& d) { d.dwFlags |= DDSD_LPSURFACE; },
                    DDERR_INVALIDPARAMS},
        SurfaceCase{"PrimaryAtNormalLevel",
                    [](DDSURFACEDESC2& d) {
                      d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
                      d.dwBackBufferCount = 1;
                      d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
                    },
                    DDERR_NOEXCLUSIVEMODE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectDrawTest, CreateSurfaceNeedsRecordsALevelAndNoOuterObject) {
  LPDIRECTDRAW7 object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&object), IID_IDirectDraw7, NULL),
            DD_OK);
  DDSURFACEDESC2 desc = OffscreenDesc(4, 4);
  LPDIRECTDRAWSURFACE7 surface = nullptr;
  EXPECT_EQ(object->CreateSurface(&desc, &surface, NULL), DDERR_NOCOOPERATIVELEVELSET);
  ASSERT_EQ(object->SetCooperativeLevel(NULL, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(object->CreateSurface(NULL, &surface, NULL), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->CreateSurface(&desc, NULL, NULL), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->CreateSurface(&desc, &surface, reinterpret_cast<IUnknown*>(object)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(Diag().live_objects(), 1);
  object->Release();
}

TEST_F(DirectDrawTest, PrimaryChainTakesTheDisplayAndOnlyOnce) {
  SetUpDisplay();
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 640u);
  EXPECT_EQ(desc.dwHeight, 480u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
  EXPECT_EQ(desc.dwBackBufferCount, 1u);
  EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE, 0u);
  DDSCAPS2 caps{};
  ASSERT_EQ(back_buffer->GetCaps(&caps), DD_OK);
  EXPECT_NE(caps.dwCaps & DDSCAPS_BACKBUFFER, 0u);

  desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  LPDIRECTDRAWSURFACE7 second = nullptr;
  EXPECT_EQ(direct_draw->CreateSurface(&desc, &second, NULL), DDERR_PRIMARYSURFACEALREADYEXISTS);

  caps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  EXPECT_EQ(primary->GetAttachedSurface(&caps, &second), DDERR_NOTFOUND);
  EXPECT_EQ(second, nullptr);
}

struct FormatCase {
  const char* name;
  bool mode_set;
  const DDPIXELFORMAT* format;
  DWORD expected_bits;
};
void PrintTo(const FormatCase& c, std::ostream* out) {
  *out << c.name;
}

const DDPIXELFORMAT kIndexed8 = Indexed8Format();
const DDPIXELFORMAT kRgb32 = Rgb32Format();

class OffscreenFormatTest : public DirectDrawTest,
                            public ::testing::WithParamInterface<FormatCase> {};

TEST_P(OffscreenFormatTest, TakesTheDisplayFormatUnlessOneIsGiven) {
  const FormatCase& c = GetParam();
  LPDIRECTDRAW7 object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&object), IID_IDirectDraw7, NULL),
            DD_OK);
  ASSERT_EQ(object->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  if (c.mode_set) {
    ASSERT_EQ(object->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
  }
  LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(object, 37, 5, c.format);
  ASSERT_NE(surface, nullptr);

  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 37u);
  EXPECT_EQ(desc.dwHeight, 5u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, c.expected_bits);
  EXPECT_GE(desc.lPitch, static_cast<LONG>(37 * c.expected_bits / 8));
  EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN, 0u);
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  ASSERT_EQ(surface->GetPixelFormat(&format), DD_OK);
  EXPECT_EQ(format.dwRGBBitCount, c.expected_bits);
  object->Release();
}

INSTANTIATE_TEST_SUITE_P(Cases, OffscreenFormatTest,
                         ::testing::Values(FormatCase{"Desktop", false, nullptr, 32},
                                           FormatCase{"GameMode", true, nullptr, 8},
                                           FormatCase{"Indexed8OnDesktop", false, &kIndexed8, 8},
                                           FormatCase{"Rgb32InGameMode", true, &kRgb32, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectDrawTest, GetSurfaceDescChecksTheRecordSize) {
  LPDIRECTDRAW7 object = CreateNormalObject();
  LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(object, 4, 4);
  DDSURFACEDESC2 desc{};
  desc.dwSize = 124;
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
  EXPECT_EQ(desc.dwWidth, 0u);
  EXPECT_EQ(surface->GetSurfaceDesc(NULL), DDERR_INVALIDPARAMS);
  DDPIXELFORMAT format{};
  EXPECT_EQ(surface->GetPixelFormat(&format), DDERR_INVALIDPARAMS);
  object->Release();
}

TEST_F(DirectDrawTest, PaletteKeepsItsEntriesAndChecksItsArguments) {
  LPDIRECTDRAW7 object = CreateNormalObject();
  PALETTEENTRY entries[256] = {};
  entries[255] = {1, 2, 3, 0};
  LPDIRECTDRAWPALETTE palette = nullptr;
  EXPECT_EQ(object->CreatePalette(DDPCAPS_4BIT, entries, &palette, NULL), DDERR_UNSUPPORTED);
  EXPECT_EQ(object->CreatePalette(0, entries, &palette, NULL), DDERR_INVALIDPARAMS);
  EXPECT_EQ(object->CreatePalette(DDPCAPS_8BIT, NULL, &palette, NULL), DDERR_INVALIDPARAMS);
  EXPECT_EQ(
      object->CreatePalette(DDPCAPS_8BIT, entries, &palette, reinterpret_cast<IUnknown*>(object)),
      CLASS_E_NOAGGREGATION);
  ASSERT_EQ(object->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, NULL), DD_OK);

  PALETTEENTRY changed = {9, 8, 7, 0};
  EXPECT_EQ(palette->SetEntries(0, 10, 1, &changed), DD_OK);
  EXPECT_EQ(palette->SetEntries(0, 255, 2, entries), DDERR_INVALIDPARAMS);
  PALETTEENTRY read[2] = {};
  ASSERT_EQ(palette->GetEntries(0, 254, 2, read), DD_OK);
  EXPECT_EQ(read[1].peBlue, 3);
  ASSERT_EQ(palette->GetEntries(0, 10, 1, read), DD_OK);
  EXPECT_EQ(read[0].peRed, 9);
  EXPECT_EQ(palette->GetEntries(0, 256, 1, read), DDERR_INVALIDPARAMS);
  DWORD caps = 0;
  ASSERT_EQ(palette->GetCaps(&caps), DD_OK);
  EXPECT_EQ(caps, static_cast<DWORD>(DDPCAPS_8BIT | DDPCAPS_ALLOW256));
  palette->Release();
  object->Release();
}

TEST_F(DirectDrawTest, PaletteWithoutAllow256KeepsEntryZeroBlackAndEntry255White) {
  LPDIRECTDRAW7 object = CreateNormalObject();
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i)
    entries[i] = {BYTE(i), BYTE(255 - i), 77, 0};
  for (DWORD caps : {DWORD{DDPCAPS_8BIT}, DWORD{DDPCAPS_8BIT | DDPCAPS_ALLOW256}}) {
    SCOPED_TRACE(caps);
    const bool system_entries = (caps & DDPCAPS_ALLOW256) == 0;
    LPDIRECTDRAWPALETTE palette = nullptr;
    ASSERT_EQ(object->CreatePalette(caps, entries, &palette, NULL), DD_OK);
    ASSERT_EQ(palette->SetEntries(0, 0, 256, entries), DD_OK);
    PALETTEENTRY read[256] = {};
    ASSERT_EQ(palette->GetEntries(0, 0, 256, read), DD_OK);
    const PALETTEENTRY black = system_entries ? PALETTEENTRY{0, 0, 0, 0} : entries[0];
    const PALETTEENTRY white = system_entries ? PALETTEENTRY{255, 255, 255, 0} : entries[255];
    EXPECT_EQ(std::memcmp(&read[0], &black, 3), 0);
    EXPECT_EQ(std::memcmp(&read[255], &white, 3), 0);
    EXPECT_EQ(std::memcmp(&read[1], &entries[1], sizeof(PALETTEENTRY) * 254), 0);
    palette->Release();
  }
  object->Release();
}

}  // namespace
