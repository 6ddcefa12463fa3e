#include "frame_oracle.h"

#include <cstring>

#include "platform.h"
#include "shared/game_globals.h"

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;

bool CopySheet(LPDIRECTDRAWSURFACE7 surface, bool keyed, SheetCopy& copy) {
  if (surface == nullptr)
    return false;
  DDSURFACEDESC2 desc = {};
  desc.dwSize = sizeof(desc);
  if (surface->Lock(nullptr, &desc, 0, nullptr) != DD_OK)
    return false;
  copy.width = static_cast<int>(desc.dwWidth);
  copy.height = static_cast<int>(desc.dwHeight);
  copy.pixels.resize(static_cast<std::size_t>(copy.width) * copy.height);
  for (int y = 0; y < copy.height; ++y) {
    std::memcpy(copy.pixels.data() + static_cast<std::size_t>(y) * copy.width,
                static_cast<const std::uint8_t*>(desc.lpSurface) + y * desc.lPitch, copy.width);
  }
  surface->Unlock(nullptr);
  if (!keyed)
    return true;
  DDCOLORKEY key = {};
  if (surface->GetColorKey(DDCKEY_SRCBLT, &key) != DD_OK)
    return false;
  copy.key = static_cast<std::uint8_t>(key.dwColorSpaceLowValue);
  return true;
}

// Copies `cell` of `sheet` onto the frame at (x, y), leaving the sheet's key pixels out.
void DrawKeyed(std::vector<std::uint8_t>& frame, const SheetCopy& sheet, const RECT& cell, int x,
               int y) {
  for (LONG row = cell.top; row < cell.bottom; ++row) {
    for (LONG column = cell.left; column < cell.right; ++column) {
      const std::uint8_t pixel = sheet.pixels[row * sheet.width + column];
      if (pixel != sheet.key)
        frame[(y + row - cell.top) * kWidth + x + column - cell.left] = pixel;
    }
  }
}

void DrawTitleMenu(std::vector<std::uint8_t>& frame, const SheetCopy& menu) {
  DrawKeyed(frame, menu, {0, 0, 220, 32}, 210, 100);
  const RECT items[] = {{0, 177, 51, 199}, {56, 177, 123, 199}, {96, 130, 132, 152}};
  for (int i = 0; i < 3; ++i) {
    const RECT& item = items[i];
    DrawKeyed(frame, menu, item, (kWidth - (item.right - item.left)) / 2, 300 + 32 * i);
  }
  DrawKeyed(frame, menu, {102, 57, 119, 82}, 260, 300 + 32 * Game.MenuSelection);
}

void DrawPlayField(std::vector<std::uint8_t>& frame, const SheetCopy& character) {
  DrawKeyed(frame, character, Game.Player.src, Game.Player.x, Game.Player.y);
  DrawKeyed(frame, character, Game.Obstacle.src, Game.Obstacle.x, Game.Obstacle.y);
}
}  // namespace

bool CopySheets(SheetCopies& copies) {
  const DisplayObjects& display = Game.Display;
  return CopySheet(display.BackImageSurface, false, copies.background) &&
         CopySheet(display.StringsSurface, true, copies.font) &&
         CopySheet(display.MenuSurface, true, copies.menu) &&
         CopySheet(display.CharacterSurface, true, copies.character);
}

std::vector<std::uint8_t> ComposeFrame(const SheetCopies& sheets, Scene scene) {
  std::vector<std::uint8_t> frame = sheets.background.pixels;
  if (scene == Scene::kTitleMenu)
    DrawTitleMenu(frame, sheets.menu);
  else
    DrawPlayField(frame, sheets.character);
  for (int i = 0; Game.FpsText[i] != '\0'; ++i) {
    const LONG left = (static_cast<unsigned char>(Game.FpsText[i]) - 32) * 8;
    DrawKeyed(frame, sheets.font, {left, 0, left + 8, 16}, 8 * i, 0);
  }
  return frame;
}
