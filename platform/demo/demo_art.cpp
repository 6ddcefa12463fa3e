#include "demo_art.h"

namespace {

// Palette ranges.
constexpr int kSpaceFirst = 1;  // 64 shades of the pattern
constexpr int kSpaceCount = 64;
constexpr int kBallFirst = 65;  // 32 shades of the ball, dark to light
constexpr int kBallCount = 32;
constexpr int kWhite = 255;

BYTE Ramp(int from, int to, int step, int steps) {
  return static_cast<BYTE>(from + (to - from) * step / (steps - 1));
}

}  // namespace

void MakeDemoPalette(PALETTEENTRY* entries) {
  for (int i = 0; i < 256; ++i)
    entries[i] = {0, 0, 0, 0};
  for (int i = 0; i < kSpaceCount; ++i) {
    entries[kSpaceFirst + i] = {Ramp(8, 70, i, kSpaceCount), Ramp(10, 40, i, kSpaceCount),
                                Ramp(40, 150, i, kSpaceCount), 0};
  }
  for (int i = 0; i < kBallCount; ++i) {
    entries[kBallFirst + i] = {Ramp(120, 255, i, kBallCount), Ramp(30, 240, i, kBallCount),
                               Ramp(0, 120, i, kBallCount), 0};
  }
  entries[kWhite] = {255, 255, 255, 0};
}

void DrawPattern(BYTE* pixels, LONG pitch) {
  for (int y = 0; y < kPatternHeight; ++y) {
    BYTE* row = pixels + y * pitch;
    for (int x = 0; x < kPatternWidth; ++x) {
      const int u = x % kPatternPeriod;
      const int v = y % kPatternPeriod;
      // Diagonal bands over a checkerboard of 32-pixel tiles, with a thin grid.
      const int band = ((u + v) / 4) % 16;
      const int tile = ((u / 32) + (v / 32)) % 2;
      int shade = band + tile * 24;
      if (u == 0 || v == 0)
        shade = kSpaceCount - 1;
      row[x] = static_cast<BYTE>(kSpaceFirst + shade);
    }
  }
}

void DrawSprite(BYTE* pixels, LONG pitch) {
  const int radius = kSpriteSize / 2 - 1;
  const int centre = kSpriteSize / 2;
  const int light = centre - radius / 3;  // highlight towards the top left
  for (int y = 0; y < kSpriteSize; ++y) {
    BYTE* row = pixels + y * pitch;
    for (int x = 0; x < kSpriteSize; ++x) {
      const int dx = x - centre;
      const int dy = y - centre;
      if (dx * dx + dy * dy > radius * radius) {
        row[x] = kSpriteKey;
        continue;
      }
      const int lx = x - light;
      const int ly = y - light;
      const int distance_squared = lx * lx + ly * ly;
      const int max_squared = 9 * radius * radius / 4 + 1;
      int shade = kBallCount - 1 - distance_squared * kBallCount / max_squared;
      if (shade < 0)
        shade = 0;
      row[x] = distance_squared < 9 ? kWhite : static_cast<BYTE>(kBallFirst + shade);
    }
  }
}
