#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool WritePng(const orv::platform::CapturedFrame& frame, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(frame.width) * 3);
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const PALETTEENTRY& entry = frame.palette[frame.IndexAt(x, y)];
      row[x * 3] = entry.peRed;
      row[x * 3 + 1] = entry.peGreen;
      row[x * 3 + 2] = entry.peBlue;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}
