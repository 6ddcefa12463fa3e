// Arbitrary bytes as a bitmap file and as a bitmap resource: LoadImageA must refuse
// or load them without touching memory it does not own, and whatever loads must
// describe itself sensibly and copy onto a small 8-bit surface.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/device_context.h"
#include "hosts/headless/headless_host.h"
#include "kernel/resource_table.h"
#include "platform.h"

namespace {

constexpr int kSurfaceSize = 16;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "bitmap_fuzz: %s\n", what);
    std::abort();
  }
}

void Exercise(HANDLE image) {
  if (image == nullptr)
    return;
  BITMAP info{};
  Check(GetObjectA(image, sizeof(info), &info) == sizeof(BITMAP), "GetObjectA failed");
  Check(info.bmWidth > 0 && info.bmWidth <= 16384 && info.bmHeight > 0 && info.bmHeight <= 16384,
        "size out of range");
  Check(info.bmBits != nullptr && info.bmWidthBytes % 4 == 0, "pixel layout");

  std::array<PALETTEENTRY, 256> palette{};
  for (int i = 0; i < 256; ++i) {
    palette[i] =
        PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), 0};
  }
  std::array<std::uint8_t, kSurfaceSize * kSurfaceSize> pixels{};
  HDC surface = orv::platform::CreateSurfaceDC(orv::platform::PixelView{
      pixels.data(), kSurfaceSize, kSurfaceSize, kSurfaceSize, 8, palette.data()});
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, image);
  Check(surface != nullptr && memory != nullptr && old != nullptr, "DC set-up");
  // Scaled onto the whole surface, then one-to-one at an offset that clips.
  Check(StretchBlt(surface, 0, 0, kSurfaceSize, kSurfaceSize, memory, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY),
        "scaled copy");
  Check(StretchBlt(surface, -3, 5, info.bmWidth, info.bmHeight, memory, 1, -2, info.bmWidth,
                   info.bmHeight, SRCCOPY),
        "clipped copy");
  Check(GetPixel(memory, info.bmWidth - 1, info.bmHeight - 1) != CLR_INVALID, "corner pixel");
  SelectObject(memory, old);
  DeleteDC(memory);
  orv::platform::DestroySurfaceDC(surface);
  Check(DeleteObject(image), "DeleteObject");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto* host = new orv::platform::HeadlessHost();
  static const std::string path = "/tmp/orv_bitmap_fuzz_" + std::to_string(::getpid()) + ".bmp";

  // As a file.
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    if (size > 0)
      std::fwrite(data, 1, size, file);
    std::fclose(file);
    Exercise(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                        LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  }

  // As a resource: a file's bytes without the file header, anything else as it is.
  // Two bytes choose a scaled size (0 keeps the image's own).
  const std::size_t skip = size >= 14 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
  orv::platform::RegisterResource(RT_BITMAP, "FUZZ", 0, data + skip,
                                  static_cast<DWORD>(size - skip));
  const int width = size > 2 ? data[size - 1] % 24 : 0;
  const int height = size > 2 ? data[size - 2] % 24 : 0;
  Exercise(LoadImageA(GetModuleHandleA(nullptr), "FUZZ", IMAGE_BITMAP, width, height,
                      LR_CREATEDIBSECTION));

  Check(host->diagnostics().live_objects() == 0, "objects leaked");
  host->Reset();
  return 0;
}
