#include <set>

#include "gdi_fixture.h"

namespace {

TEST_F(GdiTest, StockObjectsAreTheIdsWindowsKnows) {
  std::set<HGDIOBJ> handles;
  for (int id = -1; id <= 21; ++id) {
    HGDIOBJ object = GetStockObject(id);
    const bool known = id >= 0 && id <= 19 && id != 9;
    EXPECT_EQ(object != nullptr, known) << "stock id " << id;
    if (object != nullptr)
      handles.insert(object);
  }
  EXPECT_EQ(handles.size(), 19u);
  // Deleting a stock object does nothing and does not fail.
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  EXPECT_TRUE(DeleteObject(white));
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
}

TEST_F(GdiTest, MemoryDcStartsWithAOnePixelMonochromeBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
  // Other kinds of object are swapped by kind: a brush answers the previous brush.
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), GetStockObject(BLACK_BRUSH));
  BITMAP bm{};
  EXPECT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof(bm), &bm), 0);
  // An existing DC may serve as the model of another.
  HDC other = CreateCompatibleDC(dc);
  ASSERT_NE(other, nullptr);
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
}

TEST_F(GdiTest, SelectionFollowsWindowsRules) {
  std::vector<std::uint8_t> dib = PackedDib([] {
    BitmapLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.colors = {Quad(9, 9, 9)};
    layout.colors_used = 1;
    layout.rows = {{0, 0}, {0, 0}};
    return layout;
  }());
  HBITMAP first = LoadResourceBytes(dib, 0, 0, "FIRST");
  HBITMAP second = LoadResourceBytes(dib, 0, 0, "SECOND");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(host.diagnostics().live_objects(), 4);

  HGDIOBJ stock = SelectObject(dc, first);
  ASSERT_NE(stock, nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(stock, sizeof(bm), &bm), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidthBytes, 2);
  EXPECT_EQ(bm.bmBits, nullptr);
  // The stock bitmap may sit in any number of DCs; a bitmap of ours in one only.
  EXPECT_EQ(SelectObject(other, first), nullptr);
  EXPECT_EQ(SelectObject(other, stock), stock);
  // Selected bitmaps cannot be deleted.
  EXPECT_FALSE(DeleteObject(first));
  EXPECT_EQ(SelectObject(dc, second), first);
  EXPECT_EQ(SelectObject(other, first), stock);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(9, 9, 9));
  EXPECT_FALSE(DeleteObject(second));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(second));
  // Stale handles are refused everywhere.
  EXPECT_FALSE(DeleteObject(second));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(SelectObject(dc, first), nullptr);
  EXPECT_EQ(SelectObject(other, second), nullptr);
  EXPECT_EQ(GetObjectA(second, sizeof(bm), &bm), 0);
  EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  // A DC is not an object for DeleteObject, nor a bitmap for SelectObject.
  EXPECT_FALSE(DeleteObject(other));
  EXPECT_EQ(SelectObject(other, other), nullptr);
  EXPECT_EQ(SelectObject(other, GetStockObject(DEFAULT_PALETTE)), nullptr);

  EXPECT_TRUE(DeleteDC(other));
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
}

TEST_F(GdiTest, GetObjectChecksTheBufferSizeAsWindowsDoes) {
  BitmapLayout layout;
  layout.width = 3;
  layout.height = 2;
  layout.bits_per_pixel = 24;
  layout.rows = {{1, 2, 3}, {4, 5, 6}};
  HBITMAP bitmap = LoadResourceBytes(PackedDib(layout));
  ASSERT_NE(bitmap, nullptr);
  struct Case {
    int size;
    int result;
  };
  const int bitmap_size = sizeof(BITMAP);
  const int section_size = sizeof(DIBSECTION);
  for (const Case& c : {Case{0, 0}, Case{bitmap_size - 1, 0}, Case{bitmap_size, bitmap_size},
                        Case{section_size - 1, bitmap_size}, Case{section_size, section_size},
                        Case{section_size + 16, section_size}}) {
    std::vector<std::uint8_t> buffer(section_size + 16, 0xCD);
    EXPECT_EQ(GetObjectA(bitmap, c.size, buffer.data()), c.result) << "size " << c.size;
    // Nothing is written beyond what the result says.
    for (std::size_t i = static_cast<std::size_t>(c.result); i < buffer.size(); ++i) {
      ASSERT_EQ(buffer[i], 0xCD) << "size " << c.size << ", byte " << i;
    }
  }
  EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), bitmap_size);
  EXPECT_EQ(GetObjectA(nullptr, bitmap_size, nullptr), 0);
}

TEST_F(GdiTest, CallsAreJournalledAndArmedFaultsFail) {
  BitmapLayout layout;
  layout.width = 1;
  layout.height = 1;
  layout.bits_per_pixel = 32;
  layout.rows = {{0x123456}};
  std::vector<std::uint8_t> dib = PackedDib(layout);
  orv::platform::RegisterResource(RT_BITMAP, "ONE", 0, dib.data(), static_cast<DWORD>(dib.size()));
  HINSTANCE self = GetModuleHandleA(nullptr);
  auto& diag = host.diagnostics();
  diag.SetJournalEnabled(true);
  diag.InjectFault("LoadImageA", E_FAIL);
  diag.InjectFault("CreateCompatibleDC", E_FAIL);
  diag.InjectFault("SelectObject", E_FAIL);
  diag.InjectFault("GetObjectA", E_FAIL);
  diag.InjectFault("GetPixel", E_FAIL);
  diag.InjectFault("DeleteDC", E_FAIL);
  diag.InjectFault("DeleteObject", E_FAIL);

  EXPECT_EQ(LoadImageA(self, "ONE", IMAGE_BITMAP, 0, 0, 0), nullptr);
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(self, "ONE", IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
  EXPECT_NE(SelectObject(dc, bitmap), nullptr);
  BITMAP bm{};
  EXPECT_EQ(GetObjectA(bitmap, sizeof(bm), &bm), 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x12, 0x34, 0x56));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(diag.live_objects(), 0);

  const std::vector<std::string> expected{
      "GetModuleHandleA",   "LoadImageA",   "LoadImageA",   "CreateCompatibleDC",
      "CreateCompatibleDC", "SelectObject", "SelectObject", "GetObjectA",
      "GetPixel",           "GetPixel",     "DeleteDC",     "DeleteDC",
      "DeleteObject",       "DeleteObject"};
  // The module handle was taken before the journal started.
  auto operations = diag.JournalOperations();
  operations.insert(operations.begin(), "GetModuleHandleA");
  EXPECT_EQ(operations, expected);
  EXPECT_NE(diag.journal()[0].arguments.find("ONE"), std::string::npos);
}

TEST_F(GdiTest, ResetFreesEveryObject) {
  BitmapLayout layout;
  layout.width = 1;
  layout.height = 1;
  layout.bits_per_pixel = 24;
  layout.rows = {{0}};
  HBITMAP bitmap = LoadResourceBytes(PackedDib(layout));
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  EXPECT_EQ(host.diagnostics().live_objects(), 2);
  host.Reset();
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_FALSE(DeleteObject(bitmap));
}

}  // namespace
