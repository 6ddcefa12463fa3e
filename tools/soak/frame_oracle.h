// The frame the game must show for its present state, composed independently of the
// game's own drawing from copies of the sheets taken while the display was sound.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct SheetCopy {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // rows top-down, no padding
  std::uint8_t key = 0;              // the source colour key (unused for the background)
};

struct SheetCopies {
  SheetCopy background, font, menu, character;
};

// Copies the four sheets of the display as they are now; false if one cannot be read.
bool CopySheets(SheetCopies& copies);

enum class Scene { kTitleMenu, kPlayField };

// The 640x480 frame of `scene` as drawn from the game's globals now: the menu with its
// cursor at the selection, or the play field with both actors, and the frame-rate text.
std::vector<std::uint8_t> ComposeFrame(const SheetCopies& sheets, Scene scene);
