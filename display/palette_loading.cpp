// The 256-entry display palette: a fixed default, overlaid with the colour table of
// a bitmap found as a resource of the program or, failing that, as a file.
#include <cstring>

#include "display/bitmap_loading.h"

namespace {
constexpr DWORD kPaletteSize = 256;
constexpr DWORD kInfoHeaderSize = 40;

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

// Takes the colours `header` announces from `table`, which holds `table_bytes` bytes, as
// (red, green, blue, 0); entries the table does not hold keep the default. A header
// shorter than 40 bytes announces none.
void TakeColors(const BITMAPINFOHEADER& header, const BYTE* table, DWORD table_bytes,
                PALETTEENTRY* entries) {
  if (header.biSize < kInfoHeaderSize)
    return;
  DWORD count = ColorCount(header);
  if (count > table_bytes / 4)
    count = table_bytes / 4;
  for (DWORD i = 0; i < count; ++i) {
    RGBQUAD color;
    std::memcpy(&color, table + 4 * i, sizeof(color));
    entries[i].peRed = color.rgbRed;
    entries[i].peGreen = color.rgbGreen;
    entries[i].peBlue = color.rgbBlue;
    entries[i].peFlags = 0;
  }
}

// The table follows the whole header; no more entries are taken than the data holds.
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
  if (header.biSize > data_size)
    return;
  TakeColors(header, data + header.biSize, data_size - header.biSize, entries);
}

// Reads and drops `count` bytes; false when the file ends first.
bool SkipBytes(HFILE file, DWORD count) {
  BYTE scratch[256];
  while (count > 0) {
    const UINT chunk = count < sizeof(scratch) ? count : sizeof(scratch);
    if (_lread(file, scratch, chunk) != chunk)
      return false;
    count -= chunk;
  }
  return true;
}

// A file follows the rules of a resource: the table after the whole info header, which
// the 14-byte file header precedes.
void ReadFileColors(LPCSTR path, PALETTEENTRY* entries) {
  HFILE file = _lopen(path, OF_READ);
  if (file == HFILE_ERROR)
    return;
  BITMAPFILEHEADER file_header;
  BITMAPINFOHEADER header;
  if (_lread(file, &file_header, sizeof(file_header)) == sizeof(file_header) &&
      _lread(file, &header, sizeof(header)) == sizeof(header) && header.biSize >= kInfoHeaderSize &&
      SkipBytes(file, header.biSize - kInfoHeaderSize)) {
    RGBQUAD table[kPaletteSize];
    const UINT table_bytes = _lread(file, table, ColorCount(header) * sizeof(RGBQUAD));
    TakeColors(header, reinterpret_cast<const BYTE*>(table),
               table_bytes == static_cast<UINT>(HFILE_ERROR) ? 0 : table_bytes, entries);
  }
  _lclose(file);
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
