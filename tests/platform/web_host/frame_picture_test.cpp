#include "hosts/web/frame_picture.h"

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

using orv::platform::PresentedFrame;
using orv::platform::web::Area;
using orv::platform::web::FramePicture;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// An 8-bit frame as DirectDraw presents it, rows `pitch` bytes apart.
struct Frame {
  int width = kWidth;
  int height = kHeight;
  int pitch = kWidth;
  std::vector<std::uint8_t> indices;
  std::array<PALETTEENTRY, 256> palette{};

  Frame(int w = kWidth, int h = kHeight, int extra_pitch = 0)
      : width(w), height(h), pitch(w + extra_pitch), indices(static_cast<std::size_t>(pitch) * h) {
    for (int i = 0; i < 256; ++i) {
      palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    }
  }
  std::uint8_t& At(int x, int y) { return indices[static_cast<std::size_t>(y) * pitch + x]; }
  void Fill(int x, int y, int w, int h, std::uint8_t index) {
    for (int row = y; row < y + h; ++row)
      std::memset(&At(x, row), index, w);
  }
  PresentedFrame View() const { return {indices.data(), width, height, pitch, palette.data()}; }
};

// The canvas pixel of a palette entry: its bytes red, green, blue, then opaque alpha.
std::uint32_t CanvasPixel(const PALETTEENTRY& entry) {
  const std::uint8_t bytes[4] = {entry.peRed, entry.peGreen, entry.peBlue, 0xFF};
  std::uint32_t pixel;
  std::memcpy(&pixel, bytes, sizeof pixel);
  return pixel;
}

// A canvas that gets only the areas an update returns, as the page's putImageData does.
struct Canvas {
  std::vector<std::uint32_t> pixels;
  void Take(const FramePicture& picture, std::span<const Area> areas) {
    pixels.resize(static_cast<std::size_t>(picture.width()) * picture.height());
    for (const Area& area : areas) {
      for (int y = area.y; y < area.y + area.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * picture.width();
        std::copy_n(picture.pixels() + row + area.x, area.width, pixels.begin() + row + area.x);
      }
    }
  }
};

std::vector<std::uint32_t> WholeConversion(const Frame& frame) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x)
      pixels.push_back(CanvasPixel(frame.palette[frame.indices[y * frame.pitch + x]]));
  }
  return pixels;
}

std::vector<Area> Areas(std::span<const Area> areas) {
  return {areas.begin(), areas.end()};
}

TEST(FramePictureTest, TheFirstFrameIsConvertedWholeIntoCanvasOrder) {
  Frame frame;
  frame.palette[7] = {0x11, 0x22, 0x33, 0};
  frame.At(5, 9) = 7;
  FramePicture picture;
  EXPECT_EQ(Areas(picture.Update(frame.View())), (std::vector<Area>{{0, 0, kWidth, kHeight}}));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(picture.pixels() + 9 * kWidth + 5);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 4), (std::vector<int>{0x11, 0x22, 0x33, 0xFF}));
  EXPECT_EQ(std::vector<std::uint32_t>(picture.pixels(), picture.pixels() + kWidth * kHeight),
            WholeConversion(frame));
}

TEST(FramePictureTest, OnlyWhatChangedIsConverted) {
  struct Case {
    const char* name;
    std::function<void(Frame&, FramePicture&)> change;
    std::vector<Area> areas;
  };
  const Area whole{0, 0, kWidth, kHeight};
  const Case cases[] = {
      {"nothing", [](Frame&, FramePicture&) {}, {}},
      {"one pixel", [](Frame& f, FramePicture&) { f.At(200, 150) = 9; }, {{200, 150, 1, 1}}},
      // A ship of one colour: only the columns it left and the columns it took change.
      {"the ship two pixels to the right",
       [](Frame& f, FramePicture&) {
         f.Fill(100, 100, 48, 46, 0);
         f.Fill(102, 100, 48, 46, 40);
       },
       {{100, 100, 2, 46}, {148, 100, 2, 46}}},
      {"the frame-rate digits and the ship",
       [](Frame& f, FramePicture&) {
         f.Fill(0, 0, 32, 16, 3);
         f.Fill(100, 100, 48, 46, 0);
         f.Fill(102, 100, 48, 46, 40);
       },
       {{0, 0, 32, 16}, {100, 100, 2, 46}, {148, 100, 2, 46}}},
      {"two changes a few pixels apart share an area",
       [](Frame& f, FramePicture&) {
         f.At(10, 20) = 1;
         f.At(20, 25) = 1;
       },
       {{10, 20, 11, 6}}},
      {"two changes further apart keep their own",
       [](Frame& f, FramePicture&) {
         f.At(10, 20) = 1;
         f.At(40, 25) = 1;
       },
       {{10, 20, 1, 1}, {40, 25, 1, 1}}},
      {"a change in the last column and row",
       [](Frame& f, FramePicture&) { f.At(kWidth - 1, kHeight - 1) = 5; },
       {{kWidth - 1, kHeight - 1, 1, 1}}},
      {"the palette", [](Frame& f, FramePicture&) { f.palette[200].peGreen ^= 1; }, {whole}},
      {"nothing, after Invalidate", [](Frame&, FramePicture& p) { p.Invalidate(); }, {whole}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Frame frame(kWidth, kHeight, 16);
    frame.Fill(100, 100, 48, 46, 40);
    FramePicture picture;
    Canvas canvas;
    canvas.Take(picture, picture.Update(frame.View()));
    c.change(frame, picture);
    const auto areas = picture.Update(frame.View());
    EXPECT_EQ(Areas(areas), c.areas);
    canvas.Take(picture, areas);
    EXPECT_EQ(canvas.pixels, WholeConversion(frame));
  }
}

TEST(FramePictureTest, ANewSizeIsConvertedWhole) {
  FramePicture picture;
  Frame small(320, 200);
  picture.Update(small.View());
  Frame large;
  EXPECT_EQ(Areas(picture.Update(large.View())), (std::vector<Area>{{0, 0, kWidth, kHeight}}));
  EXPECT_EQ(picture.width(), kWidth);
  EXPECT_EQ(picture.height(), kHeight);
}

// Whatever changes, a canvas that gets only the areas shows exactly the whole frame.
TEST(FramePictureTest, TheAreasCarryEveryChangeOfRandomFrames) {
  std::mt19937 random(1234);
  const auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (const int extra_pitch : {0, 13}) {
    Frame frame(kWidth, kHeight, extra_pitch);
    FramePicture picture;
    Canvas canvas;
    for (int step = 0; step < 150; ++step) {
      const int rectangles = uniform(0, 24);
      for (int i = 0; i < rectangles; ++i) {
        const int x = uniform(0, kWidth - 1);
        const int y = uniform(0, kHeight - 1);
        frame.Fill(x, y, uniform(1, kWidth - x), uniform(1, std::min(12, kHeight - y)),
                   static_cast<std::uint8_t>(uniform(0, 255)));
      }
      if (uniform(0, 19) == 0)
        frame.palette[uniform(0, 255)].peBlue ^= 0x10;
      const auto areas = picture.Update(frame.View());
      ASSERT_LE(areas.size(), static_cast<std::size_t>(orv::platform::changes::kMaxRegions));
      for (const Area& area : areas) {
        ASSERT_TRUE(area.x >= 0 && area.y >= 0 && area.width > 0 && area.height > 0 &&
                    area.x + area.width <= kWidth && area.y + area.height <= kHeight);
      }
      canvas.Take(picture, areas);
      ASSERT_EQ(canvas.pixels, WholeConversion(frame)) << "step " << step;
    }
  }
}

}  // namespace
