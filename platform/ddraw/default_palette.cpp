#include "ddraw/default_palette.h"

#include <array>

namespace orv::platform {

const PALETTEENTRY* DefaultDisplayPalette() {
  static const std::array<PALETTEENTRY, 256> entries = [] {
    std::array<PALETTEENTRY, 256> table{};
    for (int i = 0; i < 256; ++i) {
      table[i].peRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
      table[i].peGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
      table[i].peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
    }
    return table;
  }();
  return entries.data();
}

}  // namespace orv::platform
