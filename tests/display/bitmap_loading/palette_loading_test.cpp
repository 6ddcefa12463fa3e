// DDLoadPalette: the default palette, colour tables from resources and from files.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "display/bitmap_loading.h"
#include "display_fixture.h"
#include "kernel/resource_table.h"

bool operator==(const PALETTEENTRY& a, const PALETTEENTRY& b) {
  return std::memcmp(&a, &b, sizeof(a)) == 0;
}
void PrintTo(const PALETTEENTRY& entry, std::ostream* out) {
  *out << "(" << int{entry.peRed} << " " << int{entry.peGreen} << " " << int{entry.peBlue} << " "
       << int{entry.peFlags} << ")";
}

namespace {

using Palette = std::vector<PALETTEENTRY>;

// An info header (longer ones padded with 0x55) followed by a colour table of
// `table_entries` distinct entries (blue i, green 255 - i, red 3i, reserved 1 + i),
// then `tail` bytes of 0xEE. A header size outside 40..64 is written but laid out as 40.
std::vector<BYTE> PackedDib(DWORD header_size, WORD bit_count, DWORD colors_used, int table_entries,
                            int tail = 0) {
  const DWORD layout = header_size >= 40 && header_size <= 64 ? header_size : 40;
  std::vector<BYTE> dib(layout + 4 * table_entries + tail, 0xEE);
  BITMAPINFOHEADER header = {};
  header.biSize = header_size;
  header.biWidth = 4;
  header.biHeight = 4;
  header.biPlanes = 1;
  header.biBitCount = bit_count;
  header.biClrUsed = colors_used;
  std::memcpy(dib.data(), &header, sizeof(header));
  std::fill(dib.begin() + 40, dib.begin() + layout, 0x55);
  BYTE* table = dib.data() + layout;
  for (int i = 0; i < table_entries; ++i) {
    table[4 * i + 0] = static_cast<BYTE>(i);
    table[4 * i + 1] = static_cast<BYTE>(255 - i);
    table[4 * i + 2] = static_cast<BYTE>(3 * i);
    table[4 * i + 3] = static_cast<BYTE>(1 + i);
  }
  return dib;
}

// The palette as it holds the entries: made without DDPCAPS_ALLOW256, its entry 0 is
// always black and its entry 255 always white.
Palette AsHeld(Palette entries) {
  entries.front().peRed = entries.front().peGreen = entries.front().peBlue = 0;
  entries.back().peRed = entries.back().peGreen = entries.back().peBlue = 255;
  return entries;
}

std::vector<BYTE> BitmapFile(const std::vector<BYTE>& dib) {
  std::vector<BYTE> file = {'B', 'M'};
  file.resize(14, 0);
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

class PaletteTest : public DisplayTest {
 protected:
  void SetUp() override {
    direct_draw = CreateDisplayObject();
    ASSERT_NE(direct_draw, nullptr);
    default_palette = Load(nullptr);
  }
  void TearDown() override {
    if (direct_draw != nullptr)
      direct_draw->Release();
    for (const std::string& path : files)
      std::remove(path.c_str());
  }

  Palette Load(LPCSTR name) {
    Palette entries(256);
    LPDIRECTDRAWPALETTE palette = DDLoadPalette(direct_draw, name);
    EXPECT_NE(palette, nullptr);
    if (palette == nullptr)
      return {};
    DWORD caps = 0;
    EXPECT_EQ(palette->GetCaps(&caps), DD_OK);
    EXPECT_NE(caps & DDPCAPS_8BIT, 0u);
    EXPECT_EQ(palette->GetEntries(0, 0, 256, entries.data()), DD_OK);
    palette->Release();
    return entries;
  }
  Palette LoadResource(const std::vector<BYTE>& data) {
    orv::platform::RegisterResource(RT_BITMAP, "TESTPALETTE", 1041, data.data(),
                                    static_cast<DWORD>(data.size()));
    return Load("TESTPALETTE");
  }
  Palette LoadFile(const std::vector<BYTE>& data) {
    const std::string path =
        ::testing::TempDir() + "palette_" + std::to_string(files.size()) + ".bmp";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
      return {};
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
    files.push_back(path);
    return Load(path.c_str());
  }

  LPDIRECTDRAW7 direct_draw = nullptr;
  Palette default_palette;
  std::vector<std::string> files;
};

TEST_F(PaletteTest, NoNameOrAnUnknownNameGivesTheDefaultPalette) {
  struct Entry {
    int index;
    PALETTEENTRY colour;
  };
  const Entry samples[] = {{0, {0, 0, 0, 0}},         {3, {0, 0, 255, 0}},
                           {28, {0, 255, 0, 0}},      {37, {36, 36, 85, 0}},
                           {224, {255, 0, 0, 0}},     {255, {255, 255, 255, 0}},
                           {146, {145, 145, 170, 0}}, {109, {109, 109, 85, 0}}};
  for (const Palette& palette : {default_palette, Load("NO SUCH BITMAP")}) {
    ASSERT_EQ(palette.size(), 256u);
    for (const Entry& sample : samples) {
      EXPECT_TRUE(palette[sample.index] == sample.colour) << "entry " << sample.index;
    }
    for (const PALETTEENTRY& entry : palette)
      EXPECT_EQ(entry.peFlags, 0);
  }
}

TEST_F(PaletteTest, ResourceAndFileReadATableEntryAlike) {
  std::vector<BYTE> dib = PackedDib(40, 8, 0, 256);
  const BYTE entry[] = {10, 20, 30, 99};
  std::memcpy(dib.data() + 40 + 4, entry, 4);
  EXPECT_TRUE(LoadResource(dib)[1] == (PALETTEENTRY{30, 20, 10, 0}));
  EXPECT_TRUE(LoadFile(BitmapFile(dib))[1] == (PALETTEENTRY{30, 20, 10, 0}));
}

TEST_F(PaletteTest, AResourceThatCannotBeLockedLeavesTheDefault) {
  host.diagnostics().InjectFault("LockResource", 0);
  EXPECT_EQ(LoadResource(PackedDib(40, 8, 0, 256)), default_palette);
  EXPECT_EQ(host.debug_lines(), std::vector<std::string>{"lock resource failed\n"});
}

struct TableCase {
  const char* name;
  std::vector<BYTE> dib;
  int converted;  // leading entries taken from the table
};

class TablePaletteTest : public PaletteTest, public ::testing::WithParamInterface<TableCase> {};

// Converted entries are (red, green, blue, 0) of the table, which follows the whole info
// header; all others stay default. A file (the same data after a 14-byte file header)
// gives what the resource gives.
TEST_P(TablePaletteTest, TakesTheAnnouncedColoursThatTheDataHolds) {
  const TableCase& table = GetParam();
  Palette expected = default_palette;
  DWORD header_size = 0;
  std::memcpy(&header_size, table.dib.data(), std::min<std::size_t>(table.dib.size(), 4));
  for (int i = 0; i < table.converted; ++i) {
    const BYTE* bgr = table.dib.data() + header_size + 4 * i;
    expected[i] = {bgr[2], bgr[1], bgr[0], 0};
  }
  EXPECT_EQ(LoadResource(table.dib), AsHeld(expected)) << "as a resource";
  EXPECT_EQ(LoadFile(BitmapFile(table.dib)), AsHeld(expected)) << "as a file";
}

std::vector<BYTE> Truncated(std::vector<BYTE> data, std::size_t size) {
  data.resize(size);
  return data;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TablePaletteTest,
    ::testing::Values(TableCase{"AllColours", PackedDib(40, 8, 0, 256, 16), 256},
                      TableCase{"SixteenUsed", PackedDib(40, 8, 16, 256), 16},
                      TableCase{"FourBits", PackedDib(40, 4, 0, 16, 8), 16},
                      TableCase{"OneBit", PackedDib(40, 1, 0, 2, 4), 2},
                      TableCase{"TrueColour", PackedDib(40, 24, 0, 0, 48), 0},
                      TableCase{"CoreHeader", PackedDib(12, 8, 0, 256), 0},
                      TableCase{"LongerHeader", PackedDib(44, 8, 0, 256), 256},
                      TableCase{"MoreThan256Used", PackedDib(40, 8, 300, 300), 256},
                      TableCase{"MoreThan256UsedShortTable", PackedDib(40, 8, 300, 200), 200},
                      TableCase{"TableCutShort", PackedDib(40, 8, 0, 10), 10},
                      TableCase{"TableCutInsideAnEntry", Truncated(PackedDib(40, 8, 0, 10), 82),
                                10},
                      TableCase{"HeaderOnly", PackedDib(40, 8, 0, 0), 0},
                      TableCase{"ShorterThanAHeader", Truncated(PackedDib(40, 8, 0, 0), 20), 0},
                      TableCase{"HeaderSizeBeyondTheData", PackedDib(0xFFFFFFF0, 8, 0, 0, 64), 0}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

}  // namespace
