// The 256-entry display palette: a fixed default, overlaid with the colour table of
// a bitmap found as a resource of the program or, failing that, as a file.
#include <cstring>

#include "display/bitmap_loading.h"

namespace {
constexpr DWORD kPaletteSize = 256;
constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kColorTableBytes = kPaletteSize * 4;

// Red and green in eight levels, blue in four: index bits rrrgggbb.
void FillDefaultPalette(PALETTEENTRY* entries) {
  for (int i = 0; i < static_cast<int>(kPaletteSize); ++i) {
    entries[i].peRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
    entries[i].peGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
    entries[i].peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
    entries[i].peFlags = 0;
  }
}

// Colour-table entries an info header announces; 0 when the table is not understood.
DWORD ColorCount(const BITMAPINFOHEADER& header) {
  if (header.biBitCount > 8)
    return 0;
  DWORD count = header.biClrUsed != 0 ? header.biClrUsed : DWORD{1} << header.biBitCount;
  // A palette holds 256 colours: a longer table gives its first 256.
  return count > kPaletteSize ? kPaletteSize : count;
}

void ReadResourceColors(HRSRC resource, PALETTEENTRY* entries) {
  const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(NULL, resource)));
  if (data == NULL) {
    OutputDebugStringA("lock resource failed\n");
    return;
  }
  const DWORD data_size = SizeofResource(NULL, resource);
  BITMAPINFOHEADER header;
  if (data_size < sizeof(header))
    return;
  std::memcpy(&header, data, sizeof(header));
  if (header.biSize < kInfoHeaderSize)
    return;

  // The table follows the whole header; take no more entries than the data holds.
  DWORD count = ColorCount(header);
  const DWORD table_room = data_size > header.biSize ? (data_size - header.biSize) / 4 : 0;
  if (count > table_room)
    count = table_room;
  for (DWORD i = 0; i < count; ++i) {
    RGBQUAD color;
    std::memcpy(&color, data + header.biSize + 4 * i, sizeof(color));
    entries[i].peRed = color.rgbRed;
    entries[i].peGreen = color.rgbGreen;
    entries[i].peBlue = color.rgbBlue;
    entries[i].peFlags = 0;
  }
}

// The table is taken to follow a 40-byte header, and converted entries keep the
// file's reserved byte as their flags.
void ReadFileColors(LPCSTR path, PALETTEENTRY* entries) {
  HFILE file = _lopen(path, OF_READ);
  if (file == HFILE_ERROR)
    return;
  BITMAPFILEHEADER file_header;
  BITMAPINFOHEADER header;
  const bool headers_read =
      _lread(file, &file_header, sizeof(file_header)) == sizeof(file_header) &&
      _lread(file, &header, sizeof(header)) == sizeof(header);
  if (!headers_read) {
    _lclose(file);
    return;
  }
  // Entries the file does not reach keep the default.
  _lread(file, entries, kColorTableBytes);
  _lclose(file);

  const DWORD count = header.biSize == kInfoHeaderSize ? ColorCount(header) : 0;
  for (DWORD i = 0; i < count; ++i) {
    const BYTE blue = entries[i].peRed;
    entries[i].peRed = entries[i].peBlue;
    entries[i].peBlue = blue;
  }
}
}  // namespace

LPDIRECTDRAWPALETTE DDLoadPalette(LPDIRECTDRAW7 direct_draw, LPCSTR name) {
  PALETTEENTRY entries[kPaletteSize];
  FillDefaultPalette(entries);
  if (name != NULL) {
    HRSRC resource = FindResourceA(NULL, name, RT_BITMAP);
    if (resource != NULL)
      ReadResourceColors(resource, entries);
    else
      ReadFileColors(name, entries);
  }

  LPDIRECTDRAWPALETTE palette = NULL;
  if (direct_draw->CreatePalette(DDPCAPS_8BIT, entries, &palette, NULL) != DD_OK)
    return NULL;
  return palette;
}
