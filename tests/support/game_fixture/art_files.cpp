#include "art_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {
std::uint32_t ReadU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
         std::uint32_t{bytes.at(at + 3)} << 24;
}
}  // namespace

IndexedImage ReadArtFile(const std::string& file_name) {
  std::ifstream file(std::string(ORV_ASSETS_DIR) + "/" + file_name, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                        std::istreambuf_iterator<char>());
  if (bytes.size() < 54)
    throw std::runtime_error("short art file " + file_name);
  IndexedImage image;
  image.width = static_cast<int>(ReadU32(bytes, 18));
  image.height = static_cast<int>(ReadU32(bytes, 22));
  const std::size_t pixels = ReadU32(bytes, 10);
  image.indices.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const std::size_t row = pixels + static_cast<std::size_t>(image.height - 1 - y) * image.width;
    for (int x = 0; x < image.width; ++x)
      image.indices[y * image.width + x] = bytes.at(row + x);
  }
  return image;
}

void ComposeKeyed(IndexedImage& screen, const IndexedImage& sheet, int left, int top, int right,
                  int bottom, int x, int y, std::uint8_t key) {
  for (int row = top; row < bottom; ++row) {
    for (int column = left; column < right; ++column) {
      const std::uint8_t pixel = sheet.At(column, row);
      if (pixel != key)
        screen.indices[(y + row - top) * screen.width + x + column - left] = pixel;
    }
  }
}
