// BltFast: one-to-one copies, colour keys, and the rectangles it refuses.
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

#include "ddraw_fixture.h"

namespace {

using Pixels = std::vector<std::uint8_t>;

class BltFastTest : public DirectDrawTest {
 protected:
  BltFastTest() {
    object = CreateNormalObject();
    // A 5x3 source (odd width: its rows are padded) numbered 1..15.
    source = CreateOffscreen(object, 5, 3, &kIndexed8);
    Pixels numbered(15);
    for (int i = 0; i < 15; ++i)
      numbered[i] = static_cast<std::uint8_t>(i + 1);
    WritePixels(source, numbered);
    dest = CreateOffscreen(object, 6, 4, &kIndexed8);
    FillPixels(dest, 0xEE);
  }
  ~BltFastTest() override { object->Release(); }

  const DDPIXELFORMAT kIndexed8 = Indexed8Format();
  LPDIRECTDRAW7 object = nullptr;
  LPDIRECTDRAWSURFACE7 source = nullptr;
  LPDIRECTDRAWSURFACE7 dest = nullptr;
};

constexpr std::uint8_t E = 0xEE;

TEST_F(BltFastTest, CopiesTheRectangleOneToOne) {
  RECT rect = {1, 1, 4, 3};  // 7 8 9 / 12 13 14
  ASSERT_EQ(dest->BltFast(2, 1, source, &rect, DDBLTFAST_NOCOLORKEY), DD_OK);
  EXPECT_EQ(ReadPixels(dest), (Pixels{E, E, E,  E,  E,  E,  //
                                      E, E, 7,  8,  9,  E,  //
                                      E, E, 12, 13, 14, E,  //
                                      E, E, E,  E,  E,  E}));
}

TEST_F(BltFastTest, NullRectangleCopiesTheWholeSource) {
  ASSERT_EQ(dest->BltFast(1, 0, source, NULL, DDBLTFAST_WAIT), DD_OK);
  EXPECT_EQ(ReadPixels(dest), (Pixels{E, 1,  2,  3,  4,  5,   //
                                      E, 6,  7,  8,  9,  10,  //
                                      E, 11, 12, 13, 14, 15,  //
                                      E, E,  E,  E,  E,  E}));
}

struct KeyCase {
  const char* name;
  DWORD set_flags;
  DDCOLORKEY key;
  Pixels expected_first_row;  // of the whole source copied to (0, 0)
};
void PrintTo(const KeyCase& c, std::ostream* out) {
  *out << c.name;
}

class SourceKeyTest : public BltFastTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(SourceKeyTest, SkipsSourcePixelsInsideTheKey) {
  const KeyCase& c = GetParam();
  DDCOLORKEY key = c.key;
  ASSERT_EQ(source->SetColorKey(c.set_flags, &key), DD_OK);
  RECT top_row = {0, 0, 5, 1};
  ASSERT_EQ(dest->BltFast(0, 0, source, &top_row, DDBLTFAST_SRCCOLORKEY), DD_OK);
  Pixels pixels = ReadPixels(dest);
  EXPECT_EQ(Pixels(pixels.begin(), pixels.begin() + 6), c.expected_first_row);
  EXPECT_EQ(pixels[6], E) << "second row untouched";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SourceKeyTest,
    ::testing::Values(
        KeyCase{"SingleValue", DDCKEY_SRCBLT, {3, 3}, {1, 2, E, 4, 5, E}},
        // Without DDCKEY_COLORSPACE only the low value counts.
        KeyCase{"HighIgnoredWithoutColorSpace", DDCKEY_SRCBLT, {2, 4}, {1, E, 3, 4, 5, E}},
        KeyCase{"Range", DDCKEY_SRCBLT | DDCKEY_COLORSPACE, {2, 4}, {1, E, E, E, 5, E}},
        KeyCase{"NoPixelMatches", DDCKEY_SRCBLT, {0xFFFFFFFF, 0xFFFFFFFF}, {1, 2, 3, 4, 5, E}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BltFastTest, DestinationKeyWritesOnlyOverTheKey) {
  WritePixels(dest, Pixels{0, 9, 0, 9, 0, 9, E, E, E, E, E, E, E, E, E, E, E, E, E, E, E, E, E, E});
  DDCOLORKEY key = {9, 9};
  ASSERT_EQ(dest->SetColorKey(DDCKEY_DESTBLT, &key), DD_OK);
  RECT top_row = {0, 0, 5, 1};
  ASSERT_EQ(dest->BltFast(1, 0, source, &top_row, DDBLTFAST_DESTCOLORKEY), DD_OK);
  Pixels pixels = ReadPixels(dest);
  EXPECT_EQ(Pixels(pixels.begin(), pixels.begin() + 6), (Pixels{0, 1, 0, 3, 0, 5}));
}

TEST_F(BltFastTest, KeyedCopyOf32BitPixels) {
  const DDPIXELFORMAT rgb32 = Rgb32Format();
  LPDIRECTDRAWSURFACE7 from = CreateOffscreen(object, 3, 1, &rgb32);
  LPDIRECTDRAWSURFACE7 to = CreateOffscreen(object, 3, 1, &rgb32);
  const Pixels colours = {1, 2, 3, 0, 0xAA, 0xBB, 0xCC, 0, 7, 8, 9, 0};
  WritePixels(from, colours);
  WritePixels(to, Pixels(12, 0x55));
  DDCOLORKEY key = {0x00CCBBAA, 0x00CCBBAA};
  ASSERT_EQ(from->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  ASSERT_EQ(to->BltFast(0, 0, from, NULL, DDBLTFAST_SRCCOLORKEY), DD_OK);
  EXPECT_EQ(ReadPixels(to), (Pixels{1, 2, 3, 0, 0x55, 0x55, 0x55, 0x55, 7, 8, 9, 0}));
}

TEST_F(BltFastTest, OverlappingCopyWithinOneSurfaceReadsTheSourceFirst) {
  RECT first_four = {0, 0, 4, 3};
  ASSERT_EQ(source->BltFast(1, 0, source, &first_four, 0), DD_OK);
  EXPECT_EQ(ReadPixels(source), (Pixels{1, 1, 2, 3, 4,  //
                                        6, 6, 7, 8, 9,  //
                                        11, 11, 12, 13, 14}));
}

struct RectCase {
  const char* name;
  DWORD x, y;
  RECT rect;
  bool null_rect;
};
void PrintTo(const RectCase& c, std::ostream* out) {
  *out << c.name;
}

class InvalidRectTest : public BltFastTest, public ::testing::WithParamInterface<RectCase> {};

TEST_P(InvalidRectTest, AnswersInvalidRectAndWritesNothing) {
  const RectCase& c = GetParam();
  RECT rect = c.rect;
  EXPECT_EQ(dest->BltFast(c.x, c.y, source, c.null_rect ? nullptr : &rect, 0), DDERR_INVALIDRECT);
  EXPECT_EQ(ReadPixels(dest), Pixels(24, E));
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidRectTest,
                         ::testing::Values(RectCase{"Empty", 0, 0, {2, 1, 2, 3}, false},
                                           RectCase{"EmptyHeight", 0, 0, {0, 1, 3, 1}, false},
                                           RectCase{"Inverted", 0, 0, {4, 2, 1, 0}, false},
                                           RectCase{"NegativeLeft", 0, 0, {-1, 0, 2, 2}, false},
                                           RectCase{"NegativeTop", 0, 0, {0, -1, 2, 2}, false},
                                           RectCase{"PastSourceRight", 0, 0, {3, 0, 6, 2}, false},
                                           RectCase{"PastSourceBottom", 0, 0, {0, 2, 2, 4}, false},
                                           RectCase{"PastDestRight", 4, 0, {0, 0, 3, 1}, false},
                                           RectCase{"PastDestBottom", 0, 3, {0, 0, 1, 2}, false},
                                           RectCase{
                                               "DestFarAway", 0xFFFFFFFF, 0, {0, 0, 1, 1}, false},
                                           RectCase{"WholeSourcePastDest", 2, 0, {}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BltFastTest, RefusesMissingOrMismatchedSourcesAndBadFlags) {
  const DDPIXELFORMAT rgb32 = Rgb32Format();
  LPDIRECTDRAWSURFACE7 wide = CreateOffscreen(object, 2, 2, &rgb32);
  RECT rect = {0, 0, 1, 1};
  EXPECT_EQ(dest->BltFast(0, 0, NULL, &rect, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(dest->BltFast(0, 0, wide, &rect, 0), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(dest->BltFast(0, 0, source, &rect, DDBLTFAST_SRCCOLORKEY), DDERR_NOCOLORKEY);
  EXPECT_EQ(dest->BltFast(0, 0, source, &rect, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(dest->BltFast(0, 0, source, &rect, 0x1000), DDERR_INVALIDPARAMS);

  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof locked;
  ASSERT_EQ(dest->Lock(NULL, &locked, 0, NULL), DD_OK);
  EXPECT_EQ(dest->BltFast(0, 0, source, &rect, 0), DDERR_SURFACEBUSY);
  ASSERT_EQ(dest->Unlock(NULL), DD_OK);
  EXPECT_EQ(ReadPixels(dest), Pixels(24, E));
}

TEST_F(BltFastTest, InjectedFaultIsAnsweredAndJournaled) {
  host.diagnostics().SetJournalEnabled(true);
  host.diagnostics().InjectFault("IDirectDrawSurface7::BltFast", DDERR_WASSTILLDRAWING);
  RECT rect = {0, 0, 2, 1};
  EXPECT_EQ(dest->BltFast(3, 2, source, &rect, DDBLTFAST_SRCCOLORKEY), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(ReadPixels(dest), Pixels(24, E));
  const auto& journal = host.diagnostics().journal();
  auto blit = std::find_if(journal.begin(), journal.end(), [](const auto& entry) {
    return entry.operation == "IDirectDrawSurface7::BltFast";
  });
  ASSERT_NE(blit, journal.end());
  EXPECT_NE(blit->arguments.find("3, 2"), std::string::npos) << blit->arguments;
  EXPECT_NE(blit->arguments.find("(0 0 2 1), 0x1"), std::string::npos) << blit->arguments;
  EXPECT_EQ(dest->BltFast(3, 2, source, &rect, 0), DD_OK) << "the fault was used up";
}

}  // namespace
