// Frames put into a window through X11 shared memory, on a real X server (run by
// run_on_xvfb.sh): what the server shows, read back from it, is the frame scaled and
// centred on black after each change, whatever the window's size, while only the changed
// regions are sent.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "hosts/changes/changed_regions.h"
#include "hosts/sdl/frame_placement.h"
#include "hosts/sdl/presenter.h"
#include "expected_picture.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the others' names.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace orv::platform::sdl {
namespace {

constexpr int kFrameWidth = 160;
constexpr int kFrameHeight = 120;

struct Frame {
  int width;
  int height;
  std::vector<std::uint8_t> indices;
  std::vector<PALETTEENTRY> palette = std::vector<PALETTEENTRY>(256);
  explicit Frame(int w = kFrameWidth, int h = kFrameHeight)
      : width(w), height(h), indices(static_cast<std::size_t>(w) * h, 1) {
    for (int i = 0; i < 256; ++i)
      palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
  }
  PresentedFrame View() const { return {indices.data(), width, height, width, palette.data()}; }
  void Sprite(int left, int top, int size) {
    for (int y = top; y < top + size; ++y) {
      for (int x = left; x < left + size; ++x)
        indices[y * width + x] = static_cast<std::uint8_t>(40 + (x + y) % 5);
    }
  }
};

class XShmPresenterTest : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr)
      GTEST_SKIP() << "needs an X display";
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    reader_ = XOpenDisplay(nullptr);
    ASSERT_NE(reader_, nullptr);
  }
  void TearDown() override {
    presenter_.reset();
    if (window_ != nullptr)
      SDL_DestroyWindow(window_);
    if (reader_ != nullptr)
      XCloseDisplay(reader_);
    SDL_Quit();
  }

  void Open(int width, int height, XConnectionAhead* ahead = nullptr) {
    window_ = SDL_CreateWindow("Orvendal picture", 0, 0, width, height, SDL_WINDOW_SHOWN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    SettleAt(width, height);
    presenter_ = MakeXShmPresenter(window_, ahead);
    ASSERT_NE(presenter_, nullptr) << "Xvfb takes pictures through shared memory";
  }

  // Waits until the server has mapped the window at that size.
  void SettleAt(int width, int height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_EQ(SDL_GetWindowWMInfo(window_, &info), SDL_TRUE);
    x_window_ = info.info.x11.window;
    for (int tries = 0; tries < 300; ++tries) {
      SDL_PumpEvents();
      XWindowAttributes attributes{};
      int sdl_width = 0;
      int sdl_height = 0;
      SDL_GetWindowSize(window_, &sdl_width, &sdl_height);
      if (XGetWindowAttributes(reader_, x_window_, &attributes) != 0 &&
          attributes.map_state == IsViewable && attributes.width == width &&
          attributes.height == height && sdl_width == width && sdl_height == height) {
        return;
      }
      SDL_Delay(10);
    }
    FAIL() << "the window never showed at " << width << "x" << height;
  }

  // Shows `frame` as the host does and returns the bytes sent.
  std::size_t Show(const Frame& frame, bool whole = false) {
    const std::vector<changes::Region>& regions = shown_.Show(frame.View());
    return presenter_->Show(shown_.View(), regions, whole);
  }

  // Reads the window's picture back from the server and counts the pixels that are not
  // the frame scaled and centred on black.
  int WrongPixels(const Frame& frame) {
    XSync(reader_, False);
    XWindowAttributes attributes{};
    XGetWindowAttributes(reader_, x_window_, &attributes);
    const int width = attributes.width;
    const int height = attributes.height;
    XImage* image = XGetImage(reader_, x_window_, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
      ADD_FAILURE() << "no picture from the server";
      return -1;
    }
    const FramePlacement at = FitFrame(width, height, frame.width, frame.height);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t want = ExpectedPixel(frame.View(), at, x, y);
        const auto got = static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        if (got != want && ++wrong <= 3)
          ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << got << " for " << want;
      }
    }
    XDestroyImage(image);
    return wrong;
  }

  SDL_Window* window_ = nullptr;
  Window x_window_ = 0;
  Display* reader_ = nullptr;
  std::unique_ptr<Presenter> presenter_;
  changes::ShownFrame shown_;
};

TEST_F(XShmPresenterTest, TheServerShowsEachFrameWholeWhileOnlyChangesAreSent) {
  // Odd sizes: the frame at scale 3 with uneven black margins.
  constexpr int kWidth = 487;
  constexpr int kHeight = 367;
  Open(kWidth, kHeight);
  EXPECT_EQ(presenter_->path(), PresentPath::kWindowSurface);
  constexpr std::size_t kPixel = 4;
  constexpr int kScale = 3;

  // Whole, the frame goes as its scaled pixels; the server paints the black around it.
  constexpr std::size_t kWholeFrame = kPixel * kScale * kScale * kFrameWidth * kFrameHeight;
  Frame frame;
  EXPECT_EQ(Show(frame), kWholeFrame) << "the first frame goes whole";
  EXPECT_EQ(WrongPixels(frame), 0);
  EXPECT_EQ(Show(frame), 0u) << "nothing changed, nothing sent";

  frame.indices[17 * kFrameWidth + 101] = 2;
  EXPECT_EQ(Show(frame), kPixel * kScale * kScale);
  EXPECT_EQ(WrongPixels(frame), 0);

  // A sprite steps two pixels right, then one at the frame's corner goes away.
  frame.Sprite(20, 30, 12);
  Show(frame);
  frame = Frame();
  frame.indices[17 * kFrameWidth + 101] = 2;
  frame.Sprite(22, 30, 12);
  frame.Sprite(kFrameWidth - 8, kFrameHeight - 8, 8);
  Show(frame);
  EXPECT_EQ(WrongPixels(frame), 0);
  frame.Sprite(22, 30, 12);
  for (int y = kFrameHeight - 8; y < kFrameHeight; ++y) {
    for (int x = kFrameWidth - 8; x < kFrameWidth; ++x)
      frame.indices[y * kFrameWidth + x] = 1;
  }
  EXPECT_EQ(Show(frame), kPixel * kScale * kScale * 8 * 8);
  EXPECT_EQ(WrongPixels(frame), 0);

  // A new colour: the frame again, the surround not.
  frame.palette[1] = {0x01, 0x02, 0x03, 0};
  EXPECT_EQ(Show(frame), kWholeFrame);
  EXPECT_EQ(WrongPixels(frame), 0);

  // Uncovered: everything again, as the host asks after an exposure.
  EXPECT_EQ(presenter_->Show(shown_.View(), {}, true), kWholeFrame);
  EXPECT_EQ(WrongPixels(frame), 0);

  // A frame of another size is placed anew: black where the larger one was.
  Frame small(100, 50);
  small.Sprite(3, 3, 30);
  EXPECT_EQ(Show(small), kPixel * 400 * 200) << "at scale 4";
  EXPECT_EQ(WrongPixels(small), 0);
}

// The presenter takes the connection opened ahead for its own: the connection outlives
// what opened it.
TEST_F(XShmPresenterTest, TakesTheConnectionOpenedAhead) {
  XConnectionAheadPtr ahead = OpenXConnectionAhead();
  ASSERT_NE(ahead, nullptr) << "DISPLAY names a local server";
  Open(640, 480, ahead.get());
  ahead.reset();
  Frame frame;
  frame.Sprite(100, 100, 20);
  EXPECT_EQ(Show(frame), std::size_t{4} * 4 * 4 * kFrameWidth * kFrameHeight)
      << "whole, at scale 4";
  EXPECT_EQ(WrongPixels(frame), 0);
}

TEST_F(XShmPresenterTest, ANewWindowSizeTakesANewPictureDrawnWhole) {
  Open(320, 240);
  Frame frame;
  frame.Sprite(50, 50, 20);
  Show(frame);
  EXPECT_EQ(WrongPixels(frame), 0);
  SDL_SetWindowSize(window_, 641, 363);
  SettleAt(641, 363);
  // Only one pixel changed, but the window is new: all of it is drawn, at scale 3 now.
  frame.indices[0] = 9;
  EXPECT_EQ(Show(frame), std::size_t{4} * 480 * 360);
  EXPECT_EQ(WrongPixels(frame), 0);
  std::vector<std::uint32_t> picture;
  int width = 0;
  int height = 0;
  ASSERT_TRUE(presenter_->ReadPicture(shown_.View(), picture, width, height));
  EXPECT_EQ(width, 641);
  EXPECT_EQ(height, 363);
  const PALETTEENTRY& corner = frame.palette[9];
  EXPECT_EQ(
      picture[static_cast<std::size_t>(FitFrame(641, 363, kFrameWidth, kFrameHeight).y) * 641 +
              FitFrame(641, 363, kFrameWidth, kFrameHeight).x],
      (std::uint32_t{corner.peRed} << 16) | (std::uint32_t{corner.peGreen} << 8) | corner.peBlue);
}

}  // namespace
}  // namespace orv::platform::sdl
