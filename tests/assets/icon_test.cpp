// The program's icon as committed: a PNG at every size the desktop asks for, and a Windows
// icon file holding each of those sizes with exactly the PNG's pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

// Top-down RGBA rows.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// Decodes PNG bytes with libpng; an empty picture when they are no valid PNG.
Picture DecodePng(const std::uint8_t* data, std::size_t size) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Picture picture;
  if (!png_image_begin_read_from_memory(&image, data, size))
    return picture;
  image.format = PNG_FORMAT_RGBA;
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return {};
  }
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  return picture;
}

Picture LoadPng(int size) {
  const std::vector<std::uint8_t> bytes =
      ReadFile(std::string(ORV_ASSETS_DIR) + "/icons/orvendal-" + std::to_string(size) + ".png");
  return DecodePng(bytes.data(), bytes.size());
}

TEST(IconTest, EveryPngIsItsSizeOnARoundedTile) {
  for (int size : kSizes) {
    SCOPED_TRACE(size);
    const Picture picture = LoadPng(size);
    ASSERT_EQ(picture.width, size);
    ASSERT_EQ(picture.height, size);
    auto alpha = [&](int x, int y) { return picture.rgba[(y * size + x) * 4 + 3]; };
    // Clear corners, an opaque middle and opaque edge midpoints.
    for (int x : {0, size - 1})
      for (int y : {0, size - 1})
        EXPECT_EQ(alpha(x, y), 0) << x << "," << y;
    for (auto [x, y] : {std::pair{size / 2, size / 2}, std::pair{0, size / 2},
                        std::pair{size / 2, 0}, std::pair{size - 1, size / 2}})
      EXPECT_EQ(alpha(x, y), 255) << x << "," << y;
  }
}

TEST(IconTest, IcoHoldsEverySizeWithThePngsPixels) {
  const std::vector<std::uint8_t> ico =
      ReadFile(std::string(ORV_ASSETS_DIR) + "/icons/orvendal.ico");
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(U16(ico, 0), 0);  // reserved
  EXPECT_EQ(U16(ico, 2), 1);  // an icon, not a cursor
  const int count = U16(ico, 4);
  ASSERT_EQ(count, static_cast<int>(std::size(kSizes)));
  ASSERT_GE(ico.size(), 6u + 16u * count);
  std::set<int> seen;
  for (int entry = 0; entry < count; ++entry) {
    const std::size_t at = 6 + 16 * static_cast<std::size_t>(entry);
    // A width and height byte of 0 stands for 256.
    const int size = ico[at] == 0 ? 256 : ico[at];
    SCOPED_TRACE(size);
    EXPECT_EQ(ico[at + 1], ico[at]);
    EXPECT_EQ(U16(ico, at + 4), 1);   // planes
    EXPECT_EQ(U16(ico, at + 6), 32);  // bits per pixel
    const std::uint32_t length = U32(ico, at + 8);
    const std::uint32_t offset = U32(ico, at + 12);
    ASSERT_LE(std::uint64_t{offset} + length, ico.size());
    EXPECT_TRUE(seen.insert(size).second) << "twice";

    const Picture png = LoadPng(size);
    ASSERT_EQ(png.width, size);
    const std::uint8_t* data = ico.data() + offset;
    static const std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length >= 8 && std::equal(std::begin(kSignature), std::end(kSignature), data)) {
      const Picture stored = DecodePng(data, length);
      EXPECT_EQ(stored.width, size);
      EXPECT_EQ(stored.height, size);
      EXPECT_EQ(stored.rgba, png.rgba);
      continue;
    }
    // A 32-bit bitmap of twice the height: colour rows bottom-up, then the mask.
    const std::vector<std::uint8_t> dib(data, data + length);
    ASSERT_GE(dib.size(), 40u);
    EXPECT_EQ(U32(dib, 0), 40u);
    EXPECT_EQ(static_cast<int>(U32(dib, 4)), size);
    EXPECT_EQ(static_cast<int>(U32(dib, 8)), size * 2);
    EXPECT_EQ(U16(dib, 14), 32);
    EXPECT_EQ(U32(dib, 16), 0u);  // BI_RGB
    const std::size_t mask_stride = (size + 31) / 32 * 4;
    ASSERT_EQ(dib.size(), 40u + std::size_t(size) * size * 4 + mask_stride * size);
    int differing = 0;
    int mask_wrong = 0;
    for (int y = 0; y < size; ++y) {
      const std::size_t colour_row = 40 + std::size_t(size - 1 - y) * size * 4;
      const std::size_t mask_row =
          40 + std::size_t(size) * size * 4 + std::size_t(size - 1 - y) * mask_stride;
      for (int x = 0; x < size; ++x) {
        const std::uint8_t* want = &png.rgba[(std::size_t(y) * size + x) * 4];
        const std::uint8_t* got = &dib[colour_row + x * 4];
        if (got[0] != want[2] || got[1] != want[1] || got[2] != want[0] || got[3] != want[3])
          ++differing;
        const bool clear = (dib[mask_row + x / 8] & (0x80 >> (x % 8))) != 0;
        if (clear != (want[3] == 0))
          ++mask_wrong;
      }
    }
    EXPECT_EQ(differing, 0) << "pixels differ from orvendal-" << size << ".png";
    EXPECT_EQ(mask_wrong, 0) << "mask bits disagree with the transparency";
  }
  EXPECT_EQ(seen, std::set<int>(std::begin(kSizes), std::end(kSizes)));
}

}  // namespace
