// Drives the SDL host the way the platform does, for the real-window test:
//   window_probe show SECONDS
//     opens the window, takes exclusive mode, reports how the host presents ("present
//     surface" or "present renderer") and presents frames until the window is asked to
//     close (exit 0) or SECONDS pass (exit 3): first a short animation (a block moving
//     over the test frame, a palette colour changed for a while), then the test frame,
//     reporting "settled N" when it is reached; the animation runs again each time the
//     window comes back from being minimised. Reports each host event and each key
//     pressed (as its DirectInput key code) on standard output. Exit 2 when the host
//     sees no display.
//   window_probe message
//     opens the window in exclusive mode with the test frame, then shows a message box and
//     reports on standard output once it was dismissed.
//   window_probe check SCREENSHOT.rgb WIDTH HEIGHT SCALE X Y
//     compares a raw RGB screenshot with the test frame scaled by SCALE at (X, Y) on
//     black; exit 0 when every pixel matches.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hosts/sdl/sdl_host.h"

namespace {

using orv::platform::HostEvent;
using orv::platform::HostEventType;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Every palette entry a different colour, none of them black.
PALETTEENTRY PaletteEntry(int index) {
  return {static_cast<BYTE>(40 + index * 7 % 216), static_cast<BYTE>(255 - index),
          static_cast<BYTE>(index * 37 % 256 | 1), 0};
}

// 8x8 cells of changing colour, a one-pixel edge of index 255 and a lone pixel of index
// 254 at (101, 77): a frame that shows any misplaced row, column or scale step.
std::uint8_t FrameIndex(int x, int y) {
  if (x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1)
    return 255;
  if (x == 101 && y == 77)
    return 254;
  return static_cast<std::uint8_t>((x / 8 + y / 8 * 5) % 250);
}

struct TestFrame {
  std::vector<std::uint8_t> indices = std::vector<std::uint8_t>(kWidth * kHeight);
  std::vector<PALETTEENTRY> palette = std::vector<PALETTEENTRY>(256);
  TestFrame() {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x)
        indices[y * kWidth + x] = FrameIndex(x, y);
    }
    for (int i = 0; i < 256; ++i)
      palette[i] = PaletteEntry(i);
  }
  orv::platform::PresentedFrame View() const {
    return {indices.data(), kWidth, kHeight, kWidth, palette.data()};
  }
};

// Frames of the animation before the test frame settles.
constexpr int kAnimationFrames = 40;

// Frame `number` of the animation: the test frame with a 24x24 block of index 253 that
// moves down and to the right, and for frames 10 to 19 another colour for index 0.
// Whatever is left of it on the screen once the test frame settles shows a change that
// did not reach the window.
void DrawAnimationFrame(int number, TestFrame& frame) {
  const TestFrame plain;
  frame = plain;
  if (number >= kAnimationFrames)
    return;
  const int left = 100 + number * 7;
  const int top = 200 + number * 3;
  for (int y = top; y < top + 24; ++y) {
    for (int x = left; x < left + 24; ++x)
      frame.indices[y * kWidth + x] = 253;
  }
  if (number >= 10 && number < 20)
    frame.palette[0] = {0x12, 0x34, 0x56, 0};
}

// Opens the window in exclusive mode, as the platform does for DirectDraw; false when the
// host sees no display.
bool OpenExclusiveWindow(orv::platform::SdlHost& host) {
  const bool available = host.DisplayAvailable();
  std::printf("display-available %d\n", available ? 1 : 0);
  std::fflush(stdout);
  if (!available)
    return false;
  host.OpenWindow("FullScreen Orvendal", kWidth, kHeight);
  host.SetPointerVisible(false);
  host.SetExclusiveMode(true, kWidth, kHeight);
  return true;
}

int ShowMessage() {
  orv::platform::SdlHost host;
  if (!OpenExclusiveWindow(host))
    return 2;
  const TestFrame frame;
  host.Present(frame.View());
  host.ShowMessageBox("SetDisplayMode FAILED", "FullScreen Orvendal");
  std::printf("message-box-dismissed\n");
  return 0;
}

int Show(int seconds) {
  orv::platform::SdlHost host;
  if (!OpenExclusiveWindow(host))
    return 2;
  std::printf("present %s\n", host.present_path() == orv::platform::sdl::PresentPath::kRenderer
                                  ? "renderer"
                                  : "surface");
  TestFrame frame;
  int frame_number = 0;
  int settled = 0;
  const std::uint64_t end = host.NowMicroseconds() + std::uint64_t(seconds) * 1'000'000;
  bool minimized = false;
  std::array<std::uint8_t, 256> held{};
  while (host.NowMicroseconds() < end) {
    HostEvent event;
    while (host.PollEvent(event)) {
      switch (event.type) {
        case HostEventType::kPointerMoved:
          break;
        case HostEventType::kFocusLost:
          std::printf("event focus-lost minimized=%d\n", event.minimized ? 1 : 0);
          // As DirectDraw does: the display mode goes back while the window is away.
          if (event.minimized && !minimized)
            host.SetExclusiveMode(false, kWidth, kHeight);
          minimized = event.minimized;
          break;
        case HostEventType::kFocusGained:
          std::printf("event focus-gained\n");
          if (minimized) {
            host.SetExclusiveMode(true, kWidth, kHeight);
            frame_number = 0;
          }
          minimized = false;
          break;
        case HostEventType::kCloseRequested:
          std::printf("event close-requested\n");
          return 0;
      }
      std::fflush(stdout);
    }
    std::array<std::uint8_t, 256> keys{};
    host.ReadKeyboard(keys);
    for (int key = 0; key < 256; ++key) {
      if (keys[key] != 0 && held[key] == 0)
        std::printf("key-down %d\n", key);
    }
    held = keys;
    std::fflush(stdout);
    // As the game does: no frames while minimised.
    if (!minimized) {
      DrawAnimationFrame(frame_number, frame);
      host.Present(frame.View());
      if (frame_number == kAnimationFrames)
        std::printf("settled %d\n", ++settled);
      ++frame_number;
    }
    host.SleepMicroseconds(16'000);
  }
  return 3;
}

// Compares the screenshot with the frame at the placement, pixel by pixel.
int Check(const char* path, int width, int height, int scale, int left, int top) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const std::size_t read = std::fread(rgb.data(), 1, rgb.size(), file);
  std::fclose(file);
  if (read != rgb.size()) {
    std::fprintf(stderr, "%s: %zu bytes, expected %zu\n", path, read, rgb.size());
    return 1;
  }
  int mismatches = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int fx = x - left;
      const int fy = y - top;
      const bool inside = fx >= 0 && fy >= 0 && fx < kWidth * scale && fy < kHeight * scale;
      PALETTEENTRY want{0, 0, 0, 0};
      if (inside)
        want = PaletteEntry(FrameIndex(fx / scale, fy / scale));
      const std::uint8_t* got = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      const bool wrong = got[0] != want.peRed || got[1] != want.peGreen || got[2] != want.peBlue;
      if (wrong && ++mismatches <= 10) {
        std::fprintf(stderr, "at %d,%d: got %02x%02x%02x, expected %s\n", x, y, got[0], got[1],
                     got[2], inside ? "the frame's colour" : "black");
      }
    }
  }
  if (mismatches != 0) {
    std::fprintf(stderr, "%d pixels differ\n", mismatches);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "show") == 0)
    return Show(std::atoi(argv[2]));
  if (argc == 2 && std::strcmp(argv[1], "message") == 0)
    return ShowMessage();
  if (argc == 8 && std::strcmp(argv[1], "check") == 0) {
    return Check(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                 std::atoi(argv[6]), std::atoi(argv[7]));
  }
  std::fprintf(stderr,
               "usage: %s show SECONDS | message | check SCREENSHOT.rgb WIDTH HEIGHT SCALE X Y\n",
               argv[0]);
  return 1;
}
