// The demonstration's pictures, made in code: its palette, a scrolling pattern that
// repeats every kPatternPeriod pixels, and a ball sprite on the key colour.
#pragma once

#include "platform.h"

constexpr int kPatternPeriod = 64;
constexpr int kPatternWidth = 640 + kPatternPeriod;
constexpr int kPatternHeight = 480 + kPatternPeriod;
constexpr int kSpriteSize = 48;
constexpr BYTE kSpriteKey = 0;

// Fills the 256 entries of the demonstration palette.
void MakeDemoPalette(PALETTEENTRY* entries);

// Draw into locked 8-bit surface memory; `pitch` is in bytes.
void DrawPattern(BYTE* pixels, LONG pitch);
void DrawSprite(BYTE* pixels, LONG pitch);
