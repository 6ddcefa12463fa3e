// Checks the four committed bitmaps against the layout the game's code relies on: file
// format, colour tables, colour keys and every rectangle the game cuts out of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Rgb {
  int r = 0, g = 0, b = 0;
  auto operator<=>(const Rgb&) const = default;
};

struct Rect {
  int left, top, right, bottom;  // right and bottom exclusive
};

int Dist2(Rgb a, Rgb b) {
  return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
  return d[at] | d[at + 1] << 8;
}

// A bottom-up 8-bit bitmap file, with its rows turned upright.
struct Bitmap {
  std::vector<uint8_t> file;
  int width = 0, height = 0;
  std::array<Rgb, 256> table{};
  std::vector<uint8_t> pixels;  // top-down

  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Bitmap Read(const std::string& name) {
  Bitmap bmp;
  std::ifstream in(std::string(ORV_ASSETS_DIR) + "/" + name, std::ios::binary);
  bmp.file.assign(std::istreambuf_iterator<char>(in), {});
  if (bmp.file.size() < 14 + 40 + 1024)
    return bmp;
  bmp.width = static_cast<int32_t>(U32(bmp.file, 18));
  bmp.height = static_cast<int32_t>(U32(bmp.file, 22));
  for (int i = 0; i < 256; ++i) {
    const size_t at = 54 + 4 * i;
    bmp.table[i] = {bmp.file[at + 2], bmp.file[at + 1], bmp.file[at]};
  }
  const size_t offset = U32(bmp.file, 10);
  if (bmp.width <= 0 || bmp.height <= 0 ||
      bmp.file.size() < offset + static_cast<size_t>(bmp.width) * bmp.height) {
    return bmp;
  }
  bmp.pixels.resize(static_cast<size_t>(bmp.width) * bmp.height);
  for (int y = 0; y < bmp.height; ++y) {
    std::memcpy(&bmp.pixels[static_cast<size_t>(y) * bmp.width],
                &bmp.file[offset + static_cast<size_t>(bmp.height - 1 - y) * bmp.width], bmp.width);
  }
  return bmp;
}

const Bitmap& Sheet(const std::string& name) {
  static std::map<std::string, Bitmap> cache;
  auto it = cache.find(name);
  if (it == cache.end())
    it = cache.emplace(name, Read(name)).first;
  return it->second;
}

constexpr int kKey = 145, kYellow = 240, kTeal = 42, kRed = 112, kCharacterBlue = 201;

// Display-palette entries sorted by distance from a colour: the game's loader gives each
// CHARACTER colour the nearest one (ties to the lowest index).
std::vector<std::pair<int, int>> ByDistance(Rgb c) {
  std::vector<std::pair<int, int>> d;  // (squared distance, index)
  const auto& palette = Sheet("backimage.bmp").table;
  for (int i = 0; i < 256; ++i)
    d.emplace_back(Dist2(c, palette[i]), i);
  std::sort(d.begin(), d.end());
  return d;
}

// Bounding box (inclusive) of the pixels in rect that differ from background; empty
// when there are none.
struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool Empty() const { return x1 < 0; }
};
Box Drawn(const Bitmap& bmp, Rect r, int background) {
  Box box;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      if (bmp.At(x, y) == background)
        continue;
      box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    }
  }
  return box;
}

std::set<int> Used(const Bitmap& bmp, Rect r) {
  std::set<int> used;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x)
      used.insert(bmp.At(x, y));
  }
  return used;
}

// ---------------------------------------------------------------------------------------

struct FormatCase {
  const char* name;
  int width, height;
  size_t bytes_after_file_header;
};

TEST(AssetFormat, EveryBitmapHasTheExpectedHeaders) {
  const FormatCase cases[] = {{"backimage.bmp", 640, 480, 308264},
                              {"strings.bmp", 600, 96, 58664},
                              {"menu.bmp", 276, 200, 56264},
                              {"character.bmp", 640, 300, 193064}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto& f = Sheet(c.name).file;
    ASSERT_EQ(f.size(), 14 + c.bytes_after_file_header);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 2), f.size());
    EXPECT_EQ(U32(f, 10), 14u + 40u + 1024u);
    EXPECT_EQ(U32(f, 14), 40u);                                        // biSize
    EXPECT_EQ(static_cast<int32_t>(U32(f, 18)), c.width);              // biWidth
    EXPECT_EQ(static_cast<int32_t>(U32(f, 22)), c.height);             // biHeight: bottom-up
    EXPECT_EQ(U16(f, 26), 1);                                          // biPlanes
    EXPECT_EQ(U16(f, 28), 8);                                          // biBitCount
    EXPECT_EQ(U32(f, 30), 0u);                                         // BI_RGB
    EXPECT_EQ(U32(f, 34), static_cast<uint32_t>(c.width * c.height));  // biSizeImage
    for (size_t at : {38, 42, 46, 50})
      EXPECT_EQ(U32(f, at), 0u) << "header offset " << at;
    for (int i = 0; i < 256; ++i)
      EXPECT_EQ(f[54 + 4 * i + 3], 0) << "reserved byte " << i;
  }
}

TEST(ColourTables, DisplayPaletteIsSharedDistinctAndHoldsTheNamedColours) {
  const auto& palette = Sheet("backimage.bmp").table;
  EXPECT_EQ(Sheet("strings.bmp").table, palette);
  EXPECT_EQ(Sheet("menu.bmp").table, palette);
  EXPECT_EQ(std::set<Rgb>(palette.begin(), palette.end()).size(), 256u);

  const std::pair<int, Rgb> named[] = {{kKey, {21, 141, 91}},
                                       {kYellow, {251, 254, 16}},
                                       {kTeal, {8, 218, 152}},
                                       {kRed, {236, 3, 14}}};
  for (const auto& [index, rgb] : named)
    EXPECT_EQ(palette[index], rgb) << "entry " << index;
  EXPECT_NE(std::find(palette.begin(), palette.end(), Rgb{40, 247, 237}), palette.end())
      << "the cyan of the frame pieces";
}

TEST(ColourTables, CharacterTableStartsWhiteThenGreysAndHasBlueAt201) {
  const auto& table = Sheet("character.bmp").table;
  EXPECT_EQ(table[0], (Rgb{255, 255, 255}));
  EXPECT_EQ(table[kCharacterBlue], (Rgb{0, 0, 255}));
  // A run of greys, each darker than the one before.
  for (int i = 1; i <= 8; ++i) {
    const auto [lo, hi] = std::minmax({table[i].r, table[i].g, table[i].b});
    EXPECT_LE(hi - lo, 24) << "entry " << i << " is not grey";
    EXPECT_LT(table[i].r + table[i].g + table[i].b,
              table[i - 1].r + table[i - 1].g + table[i - 1].b)
        << "entry " << i;
  }
  const auto& palette = Sheet("backimage.bmp").table;
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(std::find(palette.begin(), palette.end(), table[i]), palette.end())
        << "character entry " << i << " also in the display palette";
  }
}

// Each colour the cut sprites use must land on one display entry without doubt (so any
// sane closest-colour rule agrees) and never on the entry that becomes transparent.
TEST(ColourTables, SpriteColoursLandClearlyOnOneDisplayEntry) {
  const auto& character = Sheet("character.bmp");
  const auto blue = ByDistance(character.table[kCharacterBlue]);
  EXPECT_LE(blue[0].first, 8 * 8);
  EXPECT_GE(blue[1].first, 16 * blue[0].first) << "pure blue has two near entries";

  std::set<int> used = Used(character, {144, 0, 192, 46});
  used.merge(Used(character, {58, 144, 116, 202}));
  used.erase(kCharacterBlue);
  ASSERT_FALSE(used.empty());
  for (int index : used) {
    const auto d = ByDistance(character.table[index]);
    SCOPED_TRACE("character entry " + std::to_string(index));
    EXPECT_LE(d[0].first, 8 * 8) << "no display entry near";
    EXPECT_GE(d[1].first, 16 * d[0].first) << "second nearest is not at least 4x farther";
    EXPECT_GE(d[1].first, 30 * 30) << "second nearest within 30 units";
    EXPECT_NE(d[0].second, blue[0].second) << "would turn transparent";
  }
}

TEST(SheetKeys, TopLeftPixelIsTheBackgroundOfEachKeyedSheet) {
  EXPECT_EQ(Sheet("strings.bmp").At(0, 0), kKey);
  EXPECT_EQ(Sheet("menu.bmp").At(0, 0), kKey);
  EXPECT_EQ(Sheet("character.bmp").At(0, 0), kCharacterBlue);
}

// ---------------------------------------------------------------------------------------
// MENU

TEST(MenuLayout, UsesOnlyTheKeyYellowTealAndRed) {
  EXPECT_EQ(Used(Sheet("menu.bmp"), {0, 0, 276, 200}), (std::set<int>{kTeal, kRed, kKey, kYellow}));
}

struct CutCase {
  const char* what;
  Rect cut;
  Box within;  // inclusive bounds the drawn pixels must stay in
  std::set<int> colours;
};

TEST(MenuLayout, EachCutPieceHoldsItsDrawingInsideItsBounds) {
  const auto& menu = Sheet("menu.bmp");
  const CutCase cases[] = {
      {"logo", {0, 0, 220, 32}, {2, 4, 217, 29}, {kRed}},
      {"Start", {0, 177, 51, 199}, {1, 178, 49, 197}, {kYellow}},
      {"Option", {56, 177, 123, 199}, {57, 178, 121, 197}, {kYellow}},
      {"Exit", {96, 130, 132, 152}, {97, 131, 130, 150}, {kYellow}},
      {"cursor", {102, 57, 119, 82}, {104, 60, 118, 76}, {kYellow, kRed}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Box box = Drawn(menu, c.cut, kKey);
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.x0, c.within.x0);
    EXPECT_GE(box.y0, c.within.y0);
    EXPECT_LE(box.x1, c.within.x1);
    EXPECT_LE(box.y1, c.within.y1);
    std::set<int> colours = Used(menu, c.cut);
    colours.erase(kKey);
    EXPECT_EQ(colours, c.colours);
  }
  // The cursor points right: its widest column is at the left, its tip at the right.
  auto column_height = [&](int x) {
    int n = 0;
    for (int y = 57; y < 82; ++y)
      n += menu.At(x, y) != kKey;
    return n;
  };
  EXPECT_GT(column_height(105), column_height(116));
}

TEST(MenuLayout, CaptionRowsHaveATealCopy136PixelsRight) {
  const auto& menu = Sheet("menu.bmp");
  int yellow = 0;
  for (int y = 35; y < 200; ++y) {
    for (int x = 0; x < 138; ++x) {
      const int v = menu.At(x, y);
      const int copy = menu.At(x + 136, y);
      if (v == kYellow) {
        ++yellow;
        EXPECT_EQ(copy, kTeal) << "at " << x << "," << y;
      } else {
        EXPECT_EQ(copy, v) << "at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(yellow, 0);
  // Seven rows of captions starting at x 2, one every 24 pixels from y 35.
  for (int row = 0; row < 7; ++row) {
    const int top = 35 + 24 * row;
    const Box box = Drawn(menu, {0, top, 138, std::min(top + 22, 200)}, kKey);
    ASSERT_FALSE(box.Empty()) << "row " << row;
    EXPECT_EQ(box.x0, 2) << "row " << row;
  }
}

// ---------------------------------------------------------------------------------------
// STRINGS

TEST(StringsLayout, FiveBandsHoldTheSameFontInTheCodeOrder) {
  const auto& strings = Sheet("strings.bmp");
  for (int band = 0; band < 5; ++band) {
    const int top = band * 16;
    SCOPED_TRACE("band " + std::to_string(band));
    EXPECT_TRUE(Drawn(strings, {0, top, 600, top + 1}, kKey).Empty()) << "row 0 drawn";
    for (int code = 32; code <= 106; ++code) {
      const int x = (code - 32) * 8;
      const bool empty = Drawn(strings, {x, top, x + 8, top + 16}, kKey).Empty();
      EXPECT_EQ(empty, code == 32 || code >= 95) << "code " << code;
      // Same glyph shapes in every band: compare against band 0.
      for (int y = 0; y < 16 && band > 0; ++y) {
        for (int dx = 0; dx < 8; ++dx) {
          EXPECT_EQ(strings.At(x + dx, top + y) == kKey, strings.At(x + dx, y) == kKey)
              << "code " << code << " pixel " << dx << "," << y;
        }
      }
    }
  }
}

TEST(StringsLayout, FrameRateBandShadesFromBlueToWhiteInTheMiddle) {
  const auto& strings = Sheet("strings.bmp");
  const auto& palette = strings.table;
  // Mean brightness and mean blue excess of glyph pixels per row, over the whole band.
  auto row_mean = [&](int y, auto&& f) {
    long sum = 0, n = 0;
    for (int x = 8; x < 504; ++x) {
      const Rgb c = palette[strings.At(x, y)];
      if (strings.At(x, y) == kKey || c == Rgb{})
        continue;  // skip background and shadow
      sum += f(c);
      ++n;
    }
    return n ? static_cast<double>(sum) / n : 0.0;
  };
  auto light = [](Rgb c) { return c.r + c.g + c.b; };
  auto blueness = [](Rgb c) { return c.b - c.r; };
  EXPECT_GT(row_mean(7, light), row_mean(2, light) + 150);
  EXPECT_GT(row_mean(7, light), row_mean(13, light) + 150);
  EXPECT_GT(row_mean(2, blueness), 100);
  EXPECT_GT(row_mean(13, blueness), 100);
}

TEST(StringsLayout, CyanPiecesOccupyFiveCellsOfTheLastBand) {
  const auto& strings = Sheet("strings.bmp");
  const auto& palette = strings.table;
  const Box box = Drawn(strings, {0, 80, 600, 96}, kKey);
  ASSERT_FALSE(box.Empty());
  EXPECT_GE(box.x0, 8);
  EXPECT_LE(box.x1, 47);
  EXPECT_GE(box.y0, 81);
  for (int cell = 1; cell <= 5; ++cell) {
    std::set<int> used = Used(strings, {8 * cell, 80, 8 * cell + 8, 96});
    used.erase(kKey);
    ASSERT_EQ(used.size(), 1u) << "cell " << cell;
    EXPECT_EQ(palette[*used.begin()], (Rgb{40, 247, 237})) << "cell " << cell;
  }
}

// ---------------------------------------------------------------------------------------
// CHARACTER

TEST(CharacterLayout, LevelShipFrameSpansTheCellWidthInRows14To29) {
  const auto& character = Sheet("character.bmp");
  const Box box = Drawn(character, {144, 0, 192, 46}, kCharacterBlue);
  EXPECT_EQ(box.y0, 14);
  EXPECT_EQ(box.y1, 29);
  for (int x = 144; x < 192; ++x) {
    EXPECT_FALSE(Drawn(character, {x, 0, x + 1, 46}, kCharacterBlue).Empty()) << "column " << x;
  }
  // Seven frames across the top, nothing else in that strip.
  for (int frame = 0; frame < 7; ++frame) {
    EXPECT_FALSE(Drawn(character, {48 * frame, 0, 48 * frame + 48, 46}, kCharacterBlue).Empty())
        << "frame " << frame;
  }
  EXPECT_TRUE(Drawn(character, {336, 0, 640, 46}, kCharacterBlue).Empty());
}

TEST(CharacterLayout, OrbsAreCirclesFromRow144ToTheOutlineRow202) {
  const auto& character = Sheet("character.bmp");
  for (int left : {0, 58}) {
    SCOPED_TRACE("orb at x " + std::to_string(left));
    const Box box = Drawn(character, {left, 140, left + 58, 210}, kCharacterBlue);
    EXPECT_EQ(box.x0, left);
    EXPECT_EQ(box.x1, left + 57);
    EXPECT_EQ(box.y0, 144);
    EXPECT_EQ(box.y1, 202);
    // Round: every drawn pixel inside the circle the box encloses; corners stay blue.
    const double cx = left + 29.0, cy = 173.5;
    for (int y = 144; y <= 202; ++y) {
      for (int x = left; x < left + 58; ++x) {
        if (character.At(x, y) == kCharacterBlue)
          continue;
        const double u = (x + 0.5 - cx) / 29.0, v = (y + 0.5 - cy) / 29.5;
        EXPECT_LE(u * u + v * v, 1.0 + 1e-9) << "at " << x << "," << y;
      }
    }
    // Filled: the middle row and column run edge to edge without a gap.
    for (int x = left; x < left + 58; ++x)
      EXPECT_NE(character.At(x, 173), kCharacterBlue);
    for (int y = 144; y <= 202; ++y)
      EXPECT_NE(character.At(left + 29, y), kCharacterBlue);
  }
}

TEST(CharacterLayout, ObstacleOrbGlowsGreenAndBlue) {
  const auto& character = Sheet("character.bmp");
  int green = 0, blue = 0;
  for (int y = 144; y < 202; ++y) {
    for (int x = 58; x < 116; ++x) {
      const Rgb c = character.table[character.At(x, y)];
      green += c.g > c.r + 60 && c.g > c.b + 40;
      blue += c.b > c.r + 60 && c.b > c.g + 40 && c != Rgb{0, 0, 255};
    }
  }
  EXPECT_GT(green, 200);
  EXPECT_GT(blue, 200);
}

}  // namespace
