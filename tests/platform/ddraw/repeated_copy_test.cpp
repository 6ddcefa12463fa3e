// A copy that covers the whole back buffer again redraws only what was drawn over it
// since: random frames of backgrounds, sprites and stray writes must show exactly the
// pixels of plain copies.
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "ddraw_fixture.h"

namespace {

using Pixels = std::vector<std::uint8_t>;
using orv::test_support::LockedSurface;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSheetWidth = 96;
constexpr int kSheetHeight = 64;

// A surface's pixels as the test expects them, packed rows.
struct Plane {
  int width;
  int height;
  Pixels pixels;
  std::uint8_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// What BltFast does, written plainly: key 0 of the source is transparent when keyed.
void Copy(Plane& dest, int x, int y, Plane& source, const RECT& area, bool keyed) {
  for (int row = area.top; row < area.bottom; ++row) {
    for (int column = area.left; column < area.right; ++column) {
      const std::uint8_t pixel = source.At(column, row);
      if (!keyed || pixel != 0)
        dest.At(x + column - area.left, y + row - area.top) = pixel;
    }
  }
}

void Poke(LPDIRECTDRAWSURFACE7 surface, Plane& plane, int x, int y, std::uint8_t value) {
  LockedSurface locked(surface);
  ASSERT_TRUE(locked.locked());
  locked.Row(static_cast<DWORD>(y))[x] = value;
  plane.At(x, y) = value;
}

class RepeatedCopyTest : public ExclusiveDisplayTest {
 protected:
  LPDIRECTDRAWSURFACE7 MakeFilled(int width, int height, Plane& plane) {
    LPDIRECTDRAWSURFACE7 surface = CreateOffscreen(direct_draw, width, height);
    plane = {width, height, Pixels(static_cast<std::size_t>(width) * height)};
    for (auto& pixel : plane.pixels)
      pixel = static_cast<std::uint8_t>(Uniform(0, 3) == 0 ? 0 : Uniform(1, 255));
    WritePixels(surface, plane.pixels);
    return surface;
  }
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  std::mt19937 random{77};
};

TEST_F(RepeatedCopyTest, RandomFramesShowThePixelsOfPlainCopies) {
  Plane first_background{};
  Plane second_background{};
  Plane sheet{};
  LPDIRECTDRAWSURFACE7 first = MakeFilled(kWidth, kHeight, first_background);
  LPDIRECTDRAWSURFACE7 second = MakeFilled(kWidth, kHeight, second_background);
  LPDIRECTDRAWSURFACE7 sprites = MakeFilled(kSheetWidth, kSheetHeight, sheet);
  DDCOLORKEY key = {0, 0};
  ASSERT_EQ(sprites->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  const Pixels zeroes(static_cast<std::size_t>(kWidth) * kHeight, 0);
  Plane front{kWidth, kHeight, zeroes};
  Plane back{kWidth, kHeight, zeroes};
  RECT screen = {0, 0, kWidth, kHeight};

  for (int frame = 0; frame < 300; ++frame) {
    SCOPED_TRACE(testing::Message() << "frame " << frame);
    const int background = Uniform(0, 19);  // mostly the first, sometimes none
    if (background < 17) {
      ASSERT_EQ(back_buffer->BltFast(0, 0, first, &screen, DDBLTFAST_NOCOLORKEY), DD_OK);
      Copy(back, 0, 0, first_background, screen, false);
    } else if (background == 17) {
      ASSERT_EQ(back_buffer->BltFast(0, 0, second, NULL, DDBLTFAST_WAIT), DD_OK);
      Copy(back, 0, 0, second_background, screen, false);
    }
    for (int i = Uniform(0, 4); i > 0; --i) {
      const int left = Uniform(0, kSheetWidth - 1);
      const int top = Uniform(0, kSheetHeight - 1);
      const RECT area = {left, top, Uniform(left + 1, kSheetWidth), Uniform(top + 1, kSheetHeight)};
      const int x = Uniform(0, kWidth - (area.right - area.left));
      const int y = Uniform(0, kHeight - (area.bottom - area.top));
      const bool keyed = Uniform(0, 1) == 1;
      RECT copy_area = area;
      ASSERT_EQ(
          back_buffer->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), sprites, &copy_area,
                               keyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY),
          DD_OK);
      Copy(back, x, y, sheet, area, keyed);
    }
    switch (Uniform(0, 29)) {
      case 0:  // the program writes into the back buffer itself
        Poke(back_buffer, back, Uniform(0, kWidth - 1), Uniform(0, kHeight - 1), 7);
        break;
      case 1:  // ... or into the background it copies from
        Poke(first, first_background, Uniform(0, kWidth - 1), Uniform(0, kHeight - 1),
             static_cast<std::uint8_t>(Uniform(1, 255)));
        break;
      case 2: {  // ... or copies within the back buffer
        RECT area = {0, 0, 64, 32};
        Plane before = back;
        ASSERT_EQ(back_buffer->BltFast(8, 4, back_buffer, &area, DDBLTFAST_NOCOLORKEY), DD_OK);
        Copy(back, 8, 4, before, area, false);
        break;
      }
      default:
        break;
    }
    ASSERT_EQ(primary->Flip(NULL, 0), DD_OK);
    std::swap(front, back);
    ASSERT_EQ(host.last_frame().indices, front.pixels);
  }
  EXPECT_EQ(ReadPixels(back_buffer), back.pixels);
}

}  // namespace
