// Compares screenshots of the real window with frames the game drew on the headless host.
// Images are raw 8-bit RGB; frames are 640x480. SCALE, X and Y place the frame on the
// screen: each frame pixel covers SCALE x SCALE screen pixels from (X, Y). The frame-rate
// text in the top-left corner is left out, since its figure depends on the run.
//   screen_compare same SCREEN.rgb WIDTH HEIGHT FRAME.rgb SCALE X Y
//     exit 0 when the screen shows the frame there, on black everywhere else.
//   screen_compare ship SCREEN.rgb WIDTH HEIGHT PLAY.rgb MENU.rgb SCALE X Y
//     finds the ship: PLAY shows it at its starting cell over the background that MENU
//     shows there; prints the frame position where the screen shows the same ship pixels,
//     exit 0 when there is exactly one.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
// The corner where the frame-rate text is drawn: x 0..127, y 0..15.
constexpr int kTextWidth = 128;
constexpr int kTextHeight = 16;
// The ship's cell at the start of a game.
constexpr int kShipX = 100;
constexpr int kShipY = 100;
constexpr int kShipWidth = 48;
constexpr int kShipHeight = 46;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;

  unsigned Pixel(int x, int y) const {
    const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
  }
};

bool Load(const char* path, int width, int height, Image& image) {
  std::ifstream file(path, std::ios::binary);
  image.rgb.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  image.width = width;
  image.height = height;
  if (image.rgb.size() != static_cast<std::size_t>(width) * height * 3) {
    std::fprintf(stderr, "%s: %zu bytes, not %dx%d RGB\n", path, image.rgb.size(), width, height);
    return false;
  }
  return true;
}

bool InTextCorner(int x, int y) {
  return x < kTextWidth && y < kTextHeight;
}

struct Placement {
  int scale;
  int x;
  int y;
};

int Same(const Image& screen, const Image& frame, Placement at) {
  long mismatches = 0;
  long shown = 0;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      const int fx = x - at.x;
      const int fy = y - at.y;
      const bool in_frame =
          fx >= 0 && fy >= 0 && fx < kFrameWidth * at.scale && fy < kFrameHeight * at.scale;
      unsigned expected = 0;
      if (in_frame) {
        if (InTextCorner(fx / at.scale, fy / at.scale))
          continue;
        expected = frame.Pixel(fx / at.scale, fy / at.scale);
      }
      const unsigned actual = screen.Pixel(x, y);
      if (actual == expected)
        continue;
      if (shown++ < 5) {
        std::fprintf(stderr, "screen (%d, %d) is #%06X, expected #%06X\n", x, y, actual, expected);
      }
      ++mismatches;
    }
  }
  if (mismatches != 0)
    std::fprintf(stderr, "%ld screen pixels differ\n", mismatches);
  return mismatches == 0 ? 0 : 1;
}

int Ship(const Image& screen, const Image& play, const Image& menu, Placement at) {
  struct ShipPixel {
    int dx;
    int dy;
    unsigned rgb;
  };
  std::vector<ShipPixel> ship;
  for (int dy = 0; dy < kShipHeight; ++dy) {
    for (int dx = 0; dx < kShipWidth; ++dx) {
      const unsigned rgb = play.Pixel(kShipX + dx, kShipY + dy);
      if (rgb != menu.Pixel(kShipX + dx, kShipY + dy))
        ship.push_back({dx, dy, rgb});
    }
  }
  if (ship.size() < 100) {
    std::fprintf(stderr, "the play frame shows no ship at its start (%zu pixels)\n", ship.size());
    return 1;
  }
  int found = 0;
  for (int y = 0; y + kShipHeight <= kFrameHeight; ++y) {
    for (int x = 0; x + kShipWidth <= kFrameWidth; ++x) {
      bool match = true;
      for (const ShipPixel& p : ship) {
        const int sx = at.x + (x + p.dx) * at.scale;
        const int sy = at.y + (y + p.dy) * at.scale;
        if (sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height ||
            screen.Pixel(sx, sy) != p.rgb) {
          match = false;
          break;
        }
      }
      if (match) {
        std::printf("%d %d\n", x, y);
        ++found;
      }
    }
  }
  if (found != 1)
    std::fprintf(stderr, "the ship is shown %d times\n", found);
  return found == 1 ? 0 : 1;
}

int Usage() {
  std::fputs(
      "usage: screen_compare same SCREEN.rgb WIDTH HEIGHT FRAME.rgb SCALE X Y\n"
      "       screen_compare ship SCREEN.rgb WIDTH HEIGHT PLAY.rgb MENU.rgb SCALE X Y\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    return Usage();
  const std::string mode = argv[1];
  const int frames = mode == "same" ? 1 : mode == "ship" ? 2 : 0;
  if (frames == 0 || argc != 8 + frames)
    return Usage();
  Image screen;
  if (!Load(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), screen))
    return 2;
  std::vector<Image> images(frames);
  for (int i = 0; i < frames; ++i) {
    if (!Load(argv[5 + i], kFrameWidth, kFrameHeight, images[i]))
      return 2;
  }
  const Placement at{std::atoi(argv[5 + frames]), std::atoi(argv[6 + frames]),
                     std::atoi(argv[7 + frames])};
  if (at.scale < 1)
    return Usage();
  return frames == 1 ? Same(screen, images[0], at) : Ship(screen, images[0], images[1], at);
}
