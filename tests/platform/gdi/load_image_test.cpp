#include <climits>

#include "gdi_fixture.h"

namespace {

RGBQUAD TableColor(int i) {
  return Quad(static_cast<BYTE>(i * 40 + 3), static_cast<BYTE>(255 - i * 13),
              static_cast<BYTE>(i * 7 + 1));
}
COLORREF ColorRefOf(const RGBQUAD& q) {
  return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// A 5x2 bitmap of the given depth whose every pixel has a different known colour
// where the depth allows it.
struct DepthCase {
  WORD bits;
  DWORD colors_used;
  int table_size;
  LONG width_bytes;
};

BitmapLayout DepthSpec(const DepthCase& c, LONG height_sign) {
  BitmapLayout layout;
  layout.width = 5;
  layout.height = 2 * height_sign;
  layout.bits_per_pixel = c.bits;
  layout.colors_used = c.colors_used;
  for (int i = 0; i < c.table_size; ++i)
    layout.colors.push_back(TableColor(i));
  if (c.bits == 1) {
    layout.rows = {{0, 1, 1, 0, 1}, {1, 0, 0, 1, 0}};
  } else if (c.bits <= 8) {
    const std::uint32_t top = static_cast<std::uint32_t>(c.table_size) - 1;
    layout.rows = {{0, 1, 2, 3, 4}, {top, top - 1, top - 2, top - 3, top - 4}};
  } else {
    // The top byte of 32-bit pixels is unused and must not leak into the colour.
    const std::uint32_t junk = c.bits == 32 ? 0xAB000000 : 0;
    layout.rows = {{junk | 0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
                   {0x000000, 0x808080, junk | 0x123456, 0xFEDCBA, 0x010203}};
  }
  return layout;
}

Picture ExpectedPicture(const BitmapLayout& layout) {
  Picture picture;
  for (const auto& row : layout.rows) {
    std::vector<COLORREF> colors;
    for (std::uint32_t v : row) {
      if (layout.bits_per_pixel <= 8) {
        colors.push_back(ColorRefOf(layout.colors[v]));
      } else {
        colors.push_back(RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF));
      }
    }
    picture.push_back(colors);
  }
  return picture;
}

const DepthCase kDepths[] = {
    {1, 0, 2, 4}, {4, 0, 16, 4}, {8, 6, 6, 8}, {24, 0, 0, 16}, {32, 0, 0, 20},
};

TEST_F(GdiTest, EveryDepthLoadsFromResourceAndFileInEitherRowOrder) {
  for (const DepthCase& depth : kDepths) {
    for (LONG sign : {1, -1}) {
      SCOPED_TRACE(::testing::Message() << depth.bits << "-bit, height sign " << sign);
      const BitmapLayout layout = DepthSpec(depth, sign);
      for (HBITMAP bitmap :
           {LoadResourceBytes(PackedDib(layout)), LoadFileBytes(BitmapFile(layout))}) {
        ASSERT_NE(bitmap, nullptr);
        const BITMAP info = InfoOf(bitmap);
        EXPECT_EQ(info.bmWidth, 5);
        EXPECT_EQ(info.bmHeight, 2);
        EXPECT_EQ(info.bmWidthBytes, depth.width_bytes);
        EXPECT_EQ(info.bmPlanes, 1);
        EXPECT_EQ(info.bmBitsPixel, depth.bits);
        EXPECT_NE(info.bmBits, nullptr);
        EXPECT_EQ(PictureOf(bitmap), ExpectedPicture(layout));
        EXPECT_TRUE(DeleteObject(bitmap));
      }
    }
  }
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
}

TEST_F(GdiTest, PixelMemoryKeepsTheStoredRowOrder) {
  BitmapLayout layout = DepthSpec(kDepths[2], 1);
  HBITMAP bottom_up = LoadResourceBytes(PackedDib(layout));
  layout.height = -2;
  HBITMAP top_down = LoadResourceBytes(PackedDib(layout), 0, 0, "TOPDOWN");
  // bmBits is the first stored row: the bottom one of a bottom-up DIB.
  const auto* bottom_up_bits = static_cast<const std::uint8_t*>(InfoOf(bottom_up).bmBits);
  const auto* top_down_bits = static_cast<const std::uint8_t*>(InfoOf(top_down).bmBits);
  EXPECT_EQ(bottom_up_bits[0], 5);
  EXPECT_EQ(top_down_bits[0], 0);

  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(top_down, sizeof(section), &section), static_cast<int>(sizeof(DIBSECTION)));
  EXPECT_EQ(section.dsBmih.biHeight, -2);
  EXPECT_EQ(section.dsBmih.biBitCount, 8);
  EXPECT_EQ(section.dsBmih.biClrUsed, 6u);
  EXPECT_EQ(section.dsBm.bmHeight, 2);
}

TEST_F(GdiTest, ColourTableIsKeptWithShortTablesAndLongHeaders) {
  BitmapLayout layout;
  layout.width = 4;
  layout.height = 1;
  layout.colors_used = 2;
  layout.colors = {Quad(1, 2, 3), Quad(250, 128, 7)};
  layout.rows = {{1, 0, 1, 200}};  // 200 lies past the table: black
  const Picture expected{{RGB(250, 128, 7), RGB(1, 2, 3), RGB(250, 128, 7), RGB(0, 0, 0)}};
  for (DWORD header_size : {40u, 108u, 124u}) {
    SCOPED_TRACE(header_size);
    layout.header_size = header_size;
    HBITMAP from_resource = LoadResourceBytes(PackedDib(layout));
    HBITMAP from_file = LoadFileBytes(BitmapFile(layout));
    ASSERT_NE(from_resource, nullptr);
    ASSERT_NE(from_file, nullptr);
    EXPECT_EQ(PictureOf(from_resource), expected);
    EXPECT_EQ(PictureOf(from_file), expected);
  }
}

TEST_F(GdiTest, FilePixelsStartWhereTheFileHeaderSays) {
  BitmapLayout layout = DepthSpec(kDepths[2], 1);
  std::vector<std::uint8_t> file = BitmapFile(layout);
  // Eight spare bytes between the colour table and the pixels.
  const std::size_t table_end = 14 + 40 + 6 * 4;
  file.insert(file.begin() + table_end, 8, 0xEE);
  PutU32(file, 10, static_cast<std::uint32_t>(table_end + 8));
  HBITMAP bitmap = LoadFileBytes(file);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PictureOf(bitmap), ExpectedPicture(layout));
}

TEST_F(GdiTest, WidthAndHeightScaleByNearestNeighbour) {
  BitmapLayout layout;
  layout.width = 2;
  layout.height = 2;
  layout.bits_per_pixel = 24;
  layout.rows = {{0x0000FF, 0x00FF00}, {0xFF0000, 0xFFFFFF}};
  const COLORREF blue = RGB(0, 0, 255), green = RGB(0, 255, 0), red = RGB(255, 0, 0),
                 white = RGB(255, 255, 255);

  HBITMAP wide = LoadResourceBytes(PackedDib(layout), 4, 3);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(InfoOf(wide).bmWidthBytes, 12);
  EXPECT_EQ(
      PictureOf(wide),
      (Picture{{blue, blue, green, green}, {red, red, white, white}, {red, red, white, white}}));
  // 0 keeps the image's own extent on that axis.
  HBITMAP narrow = LoadResourceBytes(PackedDib(layout), 1, 0);
  ASSERT_NE(narrow, nullptr);
  EXPECT_EQ(PictureOf(narrow), (Picture{{green}, {white}}));
  // Indexed bitmaps scale their indices and keep the table.
  HBITMAP indexed = LoadFileBytes(BitmapFile(DepthSpec(kDepths[1], 1)), 10, 1);
  ASSERT_NE(indexed, nullptr);
  EXPECT_EQ(InfoOf(indexed).bmBitsPixel, 4);
  // Half the rows: each sample's centre falls in the lower row.
  const auto c = [](int i) { return ColorRefOf(TableColor(i)); };
  EXPECT_EQ(PictureOf(indexed),
            (Picture{{c(15), c(15), c(14), c(14), c(13), c(13), c(12), c(12), c(11), c(11)}}));
}

// Each case breaks a valid 8-bit 4x2 bitmap; the loader must refuse it (and, under
// the sanitizers, without touching memory outside the bytes given).
struct Malformed {
  const char* what;
  void (*mutate)(BitmapLayout& layout, std::vector<std::uint8_t>& dib);
};

BitmapLayout ValidSpec() {
  BitmapLayout layout;
  layout.width = 4;
  layout.height = 2;
  layout.colors_used = 4;
  layout.colors = {Quad(0, 0, 0), Quad(255, 0, 0), Quad(0, 255, 0), Quad(0, 0, 255)};
  layout.rows = {{0, 1, 2, 3}, {3, 2, 1, 0}};
  return layout;
}

void Set(std::vector<std::uint8_t>& dib, std::size_t at, std::uint32_t value) {
  PutU32(dib, at, value);
}
void Set16(std::vector<std::uint8_t>& dib, std::size_t at, std::uint16_t value) {
  dib.at(at) = static_cast<std::uint8_t>(value);
  dib.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

const Malformed kMalformed[] = {
    {"empty", [](BitmapLayout&, std::vector<std::uint8_t>& d) { d.clear(); }},
    {"truncated header", [](BitmapLayout&, std::vector<std::uint8_t>& d) { d.resize(39); }},
    {"core header", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 0, 12); }},
    {"header size 0", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 0, 0); }},
    {"header larger than data",
     [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 0, static_cast<DWORD>(d.size() + 1)); }},
    {"header size huge", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 0, 0xFFFFFFF0); }},
    {"header swallowing the pixels",
     [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 0, static_cast<DWORD>(d.size() - 4)); }},
    {"RLE8", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 16, BI_RLE8); }},
    {"RLE4", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 16, BI_RLE4); }},
    {"bit fields", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 16, BI_BITFIELDS); }},
    {"16-bit", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set16(d, 14, 16); }},
    {"2-bit", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set16(d, 14, 2); }},
    {"0-bit", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set16(d, 14, 0); }},
    {"0 planes", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set16(d, 12, 0); }},
    {"2 planes", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set16(d, 12, 2); }},
    {"257 colours", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 32, 257); }},
    {"colour table past the end", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 32, 256); }},
    {"17 colours at 4 bits",
     [](BitmapLayout& s, std::vector<std::uint8_t>& d) {
       s.bits_per_pixel = 4;
       s.colors_used = 17;
       s.colors.resize(17);
       d = PackedDib(s);
     }},
    {"300 colours at 24 bits",
     [](BitmapLayout& s, std::vector<std::uint8_t>& d) {
       s.bits_per_pixel = 24;
       s.colors_used = 300;
       s.colors.resize(300);
       d = PackedDib(s);
     }},
    {"width 0", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 4, 0); }},
    {"negative width", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 4, static_cast<DWORD>(-4)); }},
    {"height 0", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 8, 0); }},
    {"width 16385", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 4, 16385); }},
    {"height -16385", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 8, static_cast<DWORD>(-16385)); }},
    {"height INT_MIN", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 8, 0x80000000u); }},
    {"a gigabyte of pixels",
     [](BitmapLayout&, std::vector<std::uint8_t>& d) {
       Set(d, 4, 16384);
       Set(d, 8, 16384);
       Set16(d, 14, 32);
       Set(d, 32, 0);
     }},
    {"one pixel byte short", [](BitmapLayout&, std::vector<std::uint8_t>& d) { d.pop_back(); }},
    {"one row short", [](BitmapLayout&, std::vector<std::uint8_t>& d) { d.resize(d.size() - 4); }},
    {"taller than its pixels", [](BitmapLayout&, std::vector<std::uint8_t>& d) { Set(d, 8, 3); }},
};

TEST_F(GdiTest, MalformedPackedBitmapsAreRefused) {
  {
    // The unbroken bitmap loads, so each refusal below is the mutation's doing.
    BitmapLayout layout = ValidSpec();
    HBITMAP bitmap = LoadResourceBytes(PackedDib(layout));
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(LoadFileBytes(BitmapFile(layout)), nullptr);
  }
  const int live = host.diagnostics().live_objects();
  for (const Malformed& c : kMalformed) {
    SCOPED_TRACE(c.what);
    BitmapLayout layout = ValidSpec();
    std::vector<std::uint8_t> dib = PackedDib(layout);
    c.mutate(layout, dib);
    EXPECT_EQ(LoadResourceBytes(dib), nullptr);
    // The same DIB behind a file header whose offset is left to the loader.
    std::vector<std::uint8_t> file{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    file.insert(file.end(), dib.begin(), dib.end());
    EXPECT_EQ(LoadFileBytes(file), nullptr);
  }
  EXPECT_EQ(host.diagnostics().live_objects(), live);
}

TEST_F(GdiTest, MalformedFileHeadersAreRefused) {
  const std::vector<std::uint8_t> valid = BitmapFile(ValidSpec());
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
  };
  auto with_offset = [&](std::uint32_t offset) {
    std::vector<std::uint8_t> file = valid;
    PutU32(file, 10, offset);
    return file;
  };
  std::vector<std::uint8_t> wrong_magic = valid;
  wrong_magic[1] = 'A';
  const Case cases[] = {
      {"file header only", {valid.begin(), valid.begin() + 14}},
      {"shorter than a file header", {valid.begin(), valid.begin() + 10}},
      {"wrong magic", wrong_magic},
      {"pixels past the end", with_offset(static_cast<std::uint32_t>(valid.size()))},
      {"pixels far past the end", with_offset(0xFFFFFFFF)},
      {"pixels inside the file header", with_offset(6)},
      {"pixels inside the info header", with_offset(30)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadFileBytes(c.file), nullptr) << c.what;
  }
  EXPECT_NE(LoadFileBytes(valid), nullptr);
}

TEST_F(GdiTest, LoadImageRefusesWhatItCannotFind) {
  const std::vector<std::uint8_t> dib = PackedDib(ValidSpec());
  orv::platform::RegisterResource(RT_BITMAP, "PRESENT", 0, dib.data(),
                                  static_cast<DWORD>(dib.size()));
  const std::string file = WriteFile(BitmapFile(ValidSpec()), "present.bmp");
  HINSTANCE self = GetModuleHandleA(nullptr);
  struct Case {
    const char* what;
    HINSTANCE instance;
    LPCSTR name;
    UINT type;
    int width, height;
    UINT flags;
    bool loads;
  };
  const Case cases[] = {
      {"resource", self, "present", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION, true},
      {"missing resource", self, "ABSENT", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION, false},
      {"no module (system bitmaps)", nullptr, "PRESENT", IMAGE_BITMAP, 0, 0, 0, false},
      {"other type", self, "PRESENT", 1 /* IMAGE_ICON */, 0, 0, 0, false},
      {"negative width", self, "PRESENT", IMAGE_BITMAP, -1, 0, 0, false},
      {"scaled past the limit", self, "PRESENT", IMAGE_BITMAP, 16385, 1, 0, false},
      {"null name", self, nullptr, IMAGE_BITMAP, 0, 0, 0, false},
      {"file", nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE, true},
      {"file, module ignored", self, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE, true},
      {"missing file", nullptr, "/nonexistent/x.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE, false},
      {"directory", nullptr, dir_.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE, false},
      {"resource id as file", nullptr, MAKEINTRESOURCEA(3), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE,
       false},
  };
  for (const Case& c : cases) {
    HANDLE image = LoadImageA(c.instance, c.name, c.type, c.width, c.height, c.flags);
    EXPECT_EQ(image != nullptr, c.loads) << c.what;
  }
}

}  // namespace
