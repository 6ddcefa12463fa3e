// The committed art read straight from its files, independently of the platform, to
// compose the pictures the game must show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;  // rows top-down

  std::uint8_t At(int x, int y) const { return indices[y * width + x]; }
};

// Reads an 8-bit uncompressed bottom-up .bmp of the assets folder, e.g. "menu.bmp".
IndexedImage ReadArtFile(const std::string& file_name);

// Copies `cell` of `sheet` onto `screen` at (x, y), skipping pixels equal to `key`.
void ComposeKeyed(IndexedImage& screen, const IndexedImage& sheet, int left, int top, int right,
                  int bottom, int x, int y, std::uint8_t key);
