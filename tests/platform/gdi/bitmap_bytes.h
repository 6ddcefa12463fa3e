// Builds packed DIBs and .bmp files byte by byte, independently of the platform's
// parser, so tests can describe both good and deliberately broken bitmaps.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform.h"

struct BitmapLayout {
  DWORD header_size = 40;
  LONG width = 0;
  LONG height = 0;  // negative for top-down
  WORD planes = 1;
  WORD bits_per_pixel = 8;
  DWORD compression = BI_RGB;
  DWORD colors_used = 0;
  std::vector<RGBQUAD> colors;
  // Pixel values, rows top-down: an index, or 0x00RRGGBB for 24 and 32 bits.
  std::vector<std::vector<std::uint32_t>> rows;
};

inline void AppendU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}
inline void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::vector<std::uint8_t> PackRow(const std::vector<std::uint32_t>& row, int bits) {
  std::vector<std::uint8_t> out((row.size() * bits + 31) / 32 * 4, 0);
  for (std::size_t x = 0; x < row.size(); ++x) {
    const std::uint32_t v = row[x];
    switch (bits) {
      case 1:
        out[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
        break;
      case 4:
        out[x / 2] |= static_cast<std::uint8_t>((v & 0xF) << (x % 2 == 0 ? 4 : 0));
        break;
      case 8:
        out[x] = static_cast<std::uint8_t>(v);
        break;
      case 24:
        out[3 * x] = static_cast<std::uint8_t>(v);
        out[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        out[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
        break;
      case 32:
        std::memcpy(&out[4 * x], &v, 4);
        break;
    }
  }
  return out;
}

// Info header (padded with zeros to header_size), colour table, pixels.
inline std::vector<std::uint8_t> PackedDib(const BitmapLayout& layout) {
  std::vector<std::uint8_t> out;
  AppendU32(out, layout.header_size);
  AppendU32(out, static_cast<std::uint32_t>(layout.width));
  AppendU32(out, static_cast<std::uint32_t>(layout.height));
  AppendU16(out, layout.planes);
  AppendU16(out, layout.bits_per_pixel);
  AppendU32(out, layout.compression);
  AppendU32(out, 0);  // biSizeImage
  AppendU32(out, 2835);
  AppendU32(out, 2835);
  AppendU32(out, layout.colors_used);
  AppendU32(out, 0);
  out.resize(layout.header_size >= 40 ? layout.header_size : out.size(), 0);
  for (const RGBQUAD& c : layout.colors) {
    out.insert(out.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved});
  }
  const bool bottom_up = layout.height > 0;
  for (std::size_t i = 0; i < layout.rows.size(); ++i) {
    const auto& row = layout.rows[bottom_up ? layout.rows.size() - 1 - i : i];
    auto packed = PackRow(row, layout.bits_per_pixel);
    out.insert(out.end(), packed.begin(), packed.end());
  }
  return out;
}

inline std::vector<std::uint8_t> BitmapFile(const BitmapLayout& layout) {
  std::vector<std::uint8_t> dib = PackedDib(layout);
  std::vector<std::uint8_t> out{'B', 'M'};
  const std::uint32_t pixels_at =
      14 + layout.header_size + static_cast<std::uint32_t>(layout.colors.size()) * 4;
  AppendU32(out, static_cast<std::uint32_t>(14 + dib.size()));
  AppendU32(out, 0);
  AppendU32(out, pixels_at);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}
