// A headless platform with helpers to load bitmaps from bytes and to read them back.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap_bytes.h"
#include "hosts/headless/headless_host.h"
#include "kernel/resource_table.h"
#include "platform.h"

using Picture = std::vector<std::vector<COLORREF>>;  // rows top-down

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orv_gdi_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Registers a packed DIB as bitmap resource `name` and loads it.
  HBITMAP LoadResourceBytes(const std::vector<std::uint8_t>& dib, int width = 0, int height = 0,
                            const char* name = "TESTBITMAP") {
    orv::platform::RegisterResource(RT_BITMAP, name, 0, dib.data(), static_cast<DWORD>(dib.size()));
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, width,
                                           height, LR_CREATEDIBSECTION));
  }
  std::string WriteFile(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  HBITMAP LoadFileBytes(const std::vector<std::uint8_t>& file, int width = 0, int height = 0) {
    const std::string path = WriteFile(file, "image.bmp");
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, width, height,
                                           LR_CREATEDIBSECTION | LR_LOADFROMFILE));
  }

  static BITMAP InfoOf(HBITMAP bitmap) {
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof(info), &info), static_cast<int>(sizeof(BITMAP)));
    return info;
  }

  // Every pixel of a bitmap as GetPixel reports it through a memory DC.
  static Picture PictureOf(HBITMAP bitmap) {
    const BITMAP info = InfoOf(bitmap);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    Picture picture(info.bmHeight, std::vector<COLORREF>(info.bmWidth));
    for (int y = 0; y < info.bmHeight; ++y) {
      for (int x = 0; x < info.bmWidth; ++x)
        picture[y][x] = GetPixel(dc, x, y);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return picture;
  }

  orv::platform::HeadlessHost host;
  std::filesystem::path dir_;
};

inline RGBQUAD Quad(BYTE red, BYTE green, BYTE blue) {
  return RGBQUAD{blue, green, red, 0};
}
