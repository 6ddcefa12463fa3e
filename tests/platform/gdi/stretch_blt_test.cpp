#include <array>
#include <cstring>

#include "core/device_context.h"
#include "gdi_fixture.h"

namespace {

using orv::platform::CreateSurfaceDC;
using orv::platform::DestroySurfaceDC;
using orv::platform::PixelView;

constexpr std::uint8_t kUntouched = 0xEE;

// A bitmap of one row (or rows) loaded at its own size and selected into a memory DC.
class BlitTest : public GdiTest {
 protected:
  void SetUp() override {
    GdiTest::SetUp();
    // Entries far from every colour the tests use, unless a test places its own.
    palette_.fill(PALETTEENTRY{255, 255, 255, 0});
  }
  void TearDown() override {
    for (HDC dc : surface_dcs_)
      DestroySurfaceDC(dc);
    DeleteBitmaps();
    EXPECT_EQ(host.diagnostics().live_objects(), 0);
    GdiTest::TearDown();
  }

  void SetEntry(int index, BYTE red, BYTE green, BYTE blue) {
    palette_[index] = PALETTEENTRY{red, green, blue, 0};
  }

  // An 8-bit surface of width x height (pitch 8 bytes wider) over a local buffer.
  HDC Surface8(int width, int height) {
    width_ = width;
    pitch_ = width + 8;
    pixels8_.assign(static_cast<std::size_t>(pitch_) * height, kUntouched);
    PixelView view{pixels8_.data(), width, height, pitch_, 8, palette_.data()};
    HDC dc = CreateSurfaceDC(view);
    surface_dcs_.push_back(dc);
    return dc;
  }
  HDC Surface32(int width, int height) {
    width_ = width;
    pixels32_.assign(static_cast<std::size_t>(width) * height, 0xEEEEEEEE);
    PixelView view{
        reinterpret_cast<std::uint8_t*>(pixels32_.data()), width, height, width * 4, 32, nullptr};
    HDC dc = CreateSurfaceDC(view);
    surface_dcs_.push_back(dc);
    return dc;
  }
  std::uint8_t Index(int x, int y) const { return pixels8_[y * pitch_ + x]; }
  // The 8-bit surface as text rows of indices, "." for untouched.
  std::vector<std::string> Indices(int height) const {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
      std::string row;
      for (int x = 0; x < pitch_; ++x) {
        const std::uint8_t v = pixels8_[y * pitch_ + x];
        row += v == kUntouched ? '.' : static_cast<char>('0' + v);
      }
      rows.push_back(row.substr(0, width_));
    }
    return rows;
  }
  bool PaddingUntouched(int height) const {
    for (int y = 0; y < height; ++y) {
      for (int x = width_; x < pitch_; ++x) {
        if (pixels8_[y * pitch_ + x] != kUntouched)
          return false;
      }
    }
    return true;
  }

  // A memory DC holding a bitmap made from `layout`.
  HDC MemoryDc(const BitmapLayout& layout) {
    static int serial = 0;
    const std::string name = "BLIT" + std::to_string(serial++);
    HBITMAP bitmap = LoadResourceBytes(PackedDib(layout), 0, 0, name.c_str());
    EXPECT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    memory_dcs_.push_back(dc);
    bitmaps_.push_back(bitmap);
    return dc;
  }
  void DeleteBitmaps() {
    for (HDC dc : memory_dcs_)
      DeleteDC(dc);
    memory_dcs_.clear();
    for (HBITMAP bitmap : bitmaps_)
      DeleteObject(bitmap);
    bitmaps_.clear();
  }

  std::array<PALETTEENTRY, 256> palette_{};
  std::vector<std::uint8_t> pixels8_;
  std::vector<std::uint32_t> pixels32_;
  int width_ = 0;
  int pitch_ = 0;
  std::vector<HDC> surface_dcs_;
  std::vector<HDC> memory_dcs_;
  std::vector<HBITMAP> bitmaps_;
};

BitmapLayout OnePixel24(std::uint32_t rgb) {
  BitmapLayout layout;
  layout.width = 1;
  layout.height = 1;
  layout.bits_per_pixel = 24;
  layout.rows = {{rgb}};
  return layout;
}
BitmapLayout OnePixel8(const RGBQUAD& color) {
  BitmapLayout layout;
  layout.width = 1;
  layout.height = 1;
  layout.colors_used = 1;
  layout.colors = {color};
  layout.rows = {{0}};
  return layout;
}

TEST_F(BlitTest, ExactColoursMapToTheirOwnPaletteEntries) {
  for (int i = 0; i < 16; ++i) {
    SetEntry(i, static_cast<BYTE>(i * 16), static_cast<BYTE>(255 - i * 16), static_cast<BYTE>(i));
  }
  palette_[9] = palette_[5];  // a repeated colour goes to its first entry
  // The bitmap's table lists the palette's colours in another order.
  BitmapLayout layout;
  layout.width = 4;
  layout.height = 4;
  for (int j = 0; j < 16; ++j) {
    const PALETTEENTRY& e = palette_[(j * 7) % 16];
    layout.colors.push_back(Quad(e.peRed, e.peGreen, e.peBlue));
  }
  layout.colors_used = 16;
  layout.rows = {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}, {12, 13, 14, 15}};
  HDC surface = Surface8(4, 4);
  ASSERT_TRUE(StretchBlt(surface, 0, 0, 4, 4, MemoryDc(layout), 0, 0, 4, 4, SRCCOPY));
  for (int j = 0; j < 16; ++j) {
    const int expected = (j * 7) % 16 == 9 ? 5 : (j * 7) % 16;
    EXPECT_EQ(Index(j % 4, j / 4), expected) << "table entry " << j;
  }
}

// The closest entry by squared RGB distance; ties go to the lowest index. Each case
// goes through the three ways a colour reaches an 8-bit surface.
TEST_F(BlitTest, ClosestEntryWinsAndTiesGoToTheLowestIndex) {
  struct Entry {
    int index;
    BYTE red, green, blue;
  };
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    BYTE red, green, blue;
    int expected;
  };
  const Case cases[] = {
      {"tie, lower entry farther from black", {{1, 2, 0, 0}, {3, 0, 0, 0}}, 1, 0, 0, 1},
      {"tie, lower entry black", {{1, 0, 0, 0}, {3, 2, 0, 0}}, 1, 0, 0, 1},
      {"tie across channels", {{2, 10, 0, 0}, {4, 0, 10, 0}}, 5, 5, 0, 2},
      {"closer higher entry", {{2, 10, 0, 0}, {4, 0, 9, 0}}, 5, 5, 0, 4},
      {"near miss", {{7, 100, 100, 100}, {8, 120, 120, 120}}, 120, 90, 100, 7},
      {"white is entry 0", {}, 250, 250, 250, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    palette_.fill(PALETTEENTRY{255, 255, 255, 0});
    for (const Entry& e : c.entries)
      SetEntry(e.index, e.red, e.green, e.blue);
    const std::uint32_t rgb = std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;

    HDC surface = Surface8(1, 1);
    ASSERT_TRUE(StretchBlt(surface, 0, 0, 1, 1, MemoryDc(OnePixel24(rgb)), 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(Index(0, 0), c.expected) << "from a 24-bit bitmap";
    pixels8_[0] = kUntouched;
    ASSERT_TRUE(StretchBlt(surface, 0, 0, 1, 1, MemoryDc(OnePixel8(Quad(c.red, c.green, c.blue))),
                           0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(Index(0, 0), c.expected) << "from an 8-bit bitmap";
    pixels8_[0] = kUntouched;
    const PALETTEENTRY& chosen = palette_[c.expected];
    EXPECT_EQ(SetPixel(surface, 0, 0, RGB(c.red, c.green, c.blue)),
              RGB(chosen.peRed, chosen.peGreen, chosen.peBlue));
    EXPECT_EQ(Index(0, 0), c.expected) << "through SetPixel";
    DeleteBitmaps();
  }
}

TEST_F(BlitTest, ThirtyTwoBitSurfacesReceivePackedRgb) {
  BitmapLayout indexed;
  indexed.width = 2;
  indexed.height = 1;
  indexed.colors_used = 2;
  indexed.colors = {Quad(0x12, 0x34, 0x56), Quad(0xFE, 0x01, 0x80)};
  indexed.rows = {{1, 0}};
  BitmapLayout direct = indexed;
  direct.bits_per_pixel = 32;
  direct.colors_used = 0;
  direct.colors.clear();
  direct.rows = {{0xFF010203, 0x00A0B0C0}};
  HDC surface = Surface32(2, 2);
  ASSERT_TRUE(StretchBlt(surface, 0, 0, 2, 1, MemoryDc(indexed), 0, 0, 2, 1, SRCCOPY));
  ASSERT_TRUE(StretchBlt(surface, 0, 1, 2, 1, MemoryDc(direct), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(pixels32_,
            (std::vector<std::uint32_t>{0x00FE0180, 0x00123456, 0x00010203, 0x00A0B0C0}));
  EXPECT_EQ(GetPixel(surface, 1, 0), RGB(0x12, 0x34, 0x56));
}

TEST_F(BlitTest, ScalingIsNearestNeighbourClippedToBothSides) {
  for (int i = 1; i <= 4; ++i)
    SetEntry(i, static_cast<BYTE>(i * 50), 0, 0);
  BitmapLayout layout;
  layout.width = 2;
  layout.height = 2;
  layout.colors_used = 5;
  for (int i = 0; i <= 4; ++i)
    layout.colors.push_back(Quad(static_cast<BYTE>(i * 50), 0, 0));
  layout.colors[0] = Quad(255, 255, 255);
  layout.rows = {{1, 2}, {3, 4}};
  HDC source = MemoryDc(layout);
  struct Case {
    const char* what;
    int dx, dy, dw, dh, sx, sy, sw, sh;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"one to one", 0, 0, 2, 2, 0, 0, 2, 2, {"12...", "34...", ".....", "....."}},
      {"one to one, clipped right", 4, 0, 2, 2, 0, 0, 2, 2, {"....1", "....3", ".....", "....."}},
      {"doubled, clipped left and below",
       -1,
       1,
       4,
       4,
       0,
       0,
       2,
       2,
       {".....", "122..", "122..", "344.."}},
      {"halved", 4, 3, 1, 1, 0, 0, 2, 2, {".....", ".....", ".....", "....4"}},
      {"source partly outside", 0, 0, 2, 2, 1, 1, 2, 2, {"4....", ".....", ".....", "....."}},
      {"source wholly outside", 0, 0, 2, 2, 2, 0, 2, 2, {".....", ".....", ".....", "....."}},
      {"mirrored", 2, 0, -2, 1, 0, 0, 2, 1, {"21...", ".....", ".....", "....."}},
      {"flipped", 0, 2, 2, -2, 0, 0, 2, 2, {"34...", "12...", ".....", "....."}},
      {"far away",
       -2000000000,
       -2000000000,
       2000000000,
       2000000000,
       0,
       0,
       2,
       2,
       {".....", ".....", ".....", "....."}},
      {"huge", 0, 0, 2000000000, 2000000000, 0, 0, 2, 2, {"11111", "11111", "11111", "11111"}},
  };
  for (const Case& c : cases) {
    HDC surface = Surface8(5, 4);
    EXPECT_TRUE(
        StretchBlt(surface, c.dx, c.dy, c.dw, c.dh, source, c.sx, c.sy, c.sw, c.sh, SRCCOPY))
        << c.what;
    EXPECT_EQ(Indices(4), c.expected) << c.what;
    EXPECT_TRUE(PaddingUntouched(4)) << c.what;
  }
}

TEST_F(BlitTest, MemoryToMemoryAndWithinOneBitmap) {
  BitmapLayout four_bit;
  four_bit.width = 4;
  four_bit.height = 1;
  four_bit.bits_per_pixel = 4;
  four_bit.colors_used = 3;
  four_bit.colors = {Quad(0, 0, 0), Quad(255, 0, 0), Quad(0, 0, 255)};
  four_bit.rows = {{0, 0, 0, 0}};
  BitmapLayout rgb;
  rgb.width = 4;
  rgb.height = 1;
  rgb.bits_per_pixel = 24;
  rgb.rows = {{0xF01010, 0x1010F0, 0x101010, 0x800000}};
  HDC target = MemoryDc(four_bit);
  ASSERT_TRUE(StretchBlt(target, 0, 0, 4, 1, MemoryDc(rgb), 0, 0, 4, 1, SRCCOPY));
  std::vector<COLORREF> row;
  for (int x = 0; x < 4; ++x)
    row.push_back(GetPixel(target, x, 0));
  EXPECT_EQ(row,
            (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 0), RGB(255, 0, 0)}));
  // Shifting a row right within one DC reads the pixels as they were before the copy.
  HDC self = MemoryDc(rgb);
  ASSERT_TRUE(StretchBlt(self, 1, 0, 3, 1, self, 0, 0, 3, 1, SRCCOPY));
  row.clear();
  for (int x = 0; x < 4; ++x)
    row.push_back(GetPixel(self, x, 0));
  EXPECT_EQ(row, (std::vector<COLORREF>{RGB(0xF0, 0x10, 0x10), RGB(0xF0, 0x10, 0x10),
                                        RGB(0x10, 0x10, 0xF0), RGB(0x10, 0x10, 0x10)}));
}

TEST_F(BlitTest, RefusedCopiesLeaveTheSurfaceAlone) {
  HDC source = MemoryDc(OnePixel24(0));
  HDC surface = Surface8(2, 1);
  EXPECT_FALSE(StretchBlt(surface, 0, 0, 1, 1, source, 0, 0, 1, 1, 0x00EE0086 /* SRCPAINT */));
  EXPECT_FALSE(StretchBlt(surface, 0, 0, 1, 1, reinterpret_cast<HDC>(0x1234), 0, 0, 1, 1, SRCCOPY));
  EXPECT_FALSE(StretchBlt(reinterpret_cast<HDC>(0x1234), 0, 0, 1, 1, source, 0, 0, 1, 1, SRCCOPY));
  EXPECT_FALSE(StretchBlt(surface, 0, 0, 1, 1, source, 0, 0, 0, 1, SRCCOPY));
  EXPECT_TRUE(StretchBlt(surface, 0, 0, 0, 1, source, 0, 0, 1, 1, SRCCOPY));
  host.diagnostics().InjectFault("StretchBlt", E_FAIL);
  EXPECT_FALSE(StretchBlt(surface, 0, 0, 1, 1, source, 0, 0, 1, 1, SRCCOPY));
  EXPECT_EQ(Indices(1), std::vector<std::string>{".."});
  // A surface's DC is given back through DirectDraw, not DeleteDC, and is gone after.
  EXPECT_FALSE(DeleteDC(surface));
  DestroySurfaceDC(surface);
  surface_dcs_.clear();
  EXPECT_FALSE(StretchBlt(surface, 0, 0, 1, 1, source, 0, 0, 1, 1, SRCCOPY));
  EXPECT_EQ(GetPixel(surface, 0, 0), CLR_INVALID);
}

TEST_F(BlitTest, SurfaceDcNeedsAUsableView) {
  std::uint8_t bits[64] = {};
  struct Case {
    const char* what;
    PixelView view;
  };
  const Case cases[] = {
      {"no pixels", {nullptr, 4, 4, 4, 8, palette_.data()}},
      {"no width", {bits, 0, 4, 4, 8, palette_.data()}},
      {"no height", {bits, 4, 0, 4, 8, palette_.data()}},
      {"16 bits", {bits, 4, 4, 8, 16, nullptr}},
      {"pitch too small", {bits, 4, 4, 12, 32, nullptr}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CreateSurfaceDC(c.view), nullptr) << c.what;
  // An 8-bit surface without a palette has no colours to read or write.
  HDC no_palette = CreateSurfaceDC(PixelView{bits, 4, 4, 4, 8, nullptr});
  ASSERT_NE(no_palette, nullptr);
  EXPECT_EQ(GetPixel(no_palette, 0, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(no_palette, 0, 0, 0), static_cast<COLORREF>(-1));
  DestroySurfaceDC(no_palette);
}

TEST_F(BlitTest, PixelsReadAndWriteAsColours) {
  SetEntry(0, 0, 0, 0);
  SetEntry(1, 200, 0, 0);
  SetEntry(2, 0, 0, 200);
  HDC surface8 = Surface8(3, 2);
  struct Case {
    int x, y;
    COLORREF color;
    COLORREF set;
  };
  for (const Case& c :
       {Case{0, 0, RGB(250, 5, 5), RGB(200, 0, 0)}, Case{2, 1, RGB(0, 0, 150), RGB(0, 0, 200)},
        Case{1, 0, RGB(10, 10, 10), RGB(0, 0, 0)},
        Case{3, 0, RGB(1, 2, 3), static_cast<COLORREF>(-1)},
        Case{0, 2, RGB(1, 2, 3), static_cast<COLORREF>(-1)},
        Case{-1, 0, RGB(1, 2, 3), static_cast<COLORREF>(-1)}}) {
    EXPECT_EQ(SetPixel(surface8, c.x, c.y, c.color), c.set) << c.x << "," << c.y;
    EXPECT_EQ(GetPixel(surface8, c.x, c.y),
              c.set == static_cast<COLORREF>(-1) ? CLR_INVALID : c.set);
  }
  EXPECT_EQ(Indices(2), (std::vector<std::string>{"10.", "..2"}));

  HDC surface32 = Surface32(2, 1);
  EXPECT_EQ(SetPixel(surface32, 1, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(pixels32_[1], 0x00010203u);
  EXPECT_EQ(GetPixel(surface32, 1, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(surface32, 2, 0), CLR_INVALID);

  // The stock monochrome bitmap of a fresh memory DC takes black or white.
  HDC memory = CreateCompatibleDC(nullptr);
  memory_dcs_.push_back(memory);
  EXPECT_EQ(SetPixel(memory, 0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));
  // A 24-bit bitmap keeps any colour.
  HDC rgb = MemoryDc(OnePixel24(0));
  EXPECT_EQ(SetPixel(rgb, 0, 0, RGB(7, 8, 9)), RGB(7, 8, 9));
  EXPECT_EQ(GetPixel(rgb, 0, 0), RGB(7, 8, 9));
}

}  // namespace
