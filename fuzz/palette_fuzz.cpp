// Fuzzes DDLoadPalette's file path: arbitrary bytes as a bitmap file, checked against
// a plain reading of the file's headers and colour table.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/com_object.h"
#include "display/bitmap_loading.h"
#include "platform.h"
#include "hosts/headless/headless_host.h"

namespace {

struct FuzzState {
  orv::platform::HeadlessHost host;
  LPDIRECTDRAW7 direct_draw = nullptr;
  char path[64] = "/tmp/palette_fuzz_XXXXXX";  // in memory when /dev/shm exists
};

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "palette_fuzz: %s\n", what);
    std::abort();
  }
}

// A DirectDraw object with a cooperative level on a plain window: palettes need one.
FuzzState& State() {
  static FuzzState* state = [] {
    auto* created = new FuzzState;
    if (access("/dev/shm", W_OK) == 0)
      std::snprintf(created->path, sizeof(created->path), "/dev/shm/palette_fuzz_XXXXXX");
    int fd = mkstemp(created->path);
    Check(fd >= 0, "no temporary file");
    close(fd);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.lpszClassName = "PaletteFuzz";
    Check(RegisterClassA(&window_class) != 0, "RegisterClassA failed");
    HWND window = CreateWindowExA(0, "PaletteFuzz", "", 0, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
    Check(window != nullptr, "CreateWindowExA failed");
    Check(DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&created->direct_draw),
                             IID_IDirectDraw7, nullptr) == DD_OK,
          "DirectDrawCreateEx failed");
    Check(created->direct_draw->SetCooperativeLevel(window, DDSCL_NORMAL) == DD_OK,
          "SetCooperativeLevel failed");
    std::atexit([] { std::remove(State().path); });
    return created;
  }();
  return *state;
}

std::uint32_t ReadLe(const std::uint8_t* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i)
    value |= std::uint32_t{bytes[i]} << (8 * i);
  return value;
}

// The palette the file should give: the default, with the colours the info header
// announces taken from the table after the whole header (after the 14-byte file
// header), as (red, green, blue, 0), as far as the file holds them.
void ExpectedPalette(const std::uint8_t* data, std::size_t size, PALETTEENTRY* expected) {
  for (int i = 0; i < 256; ++i) {
    expected[i] = {static_cast<BYTE>(((i >> 5) & 7) * 255 / 7),
                   static_cast<BYTE>(((i >> 2) & 7) * 255 / 7),
                   static_cast<BYTE>((i & 3) * 255 / 3), 0};
  }
  constexpr std::size_t kFileHeader = 14;
  if (size < kFileHeader + 40)
    return;
  const std::uint64_t header_size = ReadLe(data + kFileHeader, 4);
  const std::uint32_t bit_count = ReadLe(data + kFileHeader + 14, 2);
  const std::uint32_t colors_used = ReadLe(data + kFileHeader + 32, 4);
  if (header_size < 40 || bit_count > 8)
    return;
  std::uint64_t count = colors_used != 0 ? colors_used : 1u << bit_count;
  count = std::min<std::uint64_t>(count, 256);
  const std::uint64_t table = kFileHeader + header_size;
  if (table > size)
    return;
  count = std::min<std::uint64_t>(count, (size - table) / 4);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* bgr = data + table + 4 * i;
    expected[i] = {bgr[2], bgr[1], bgr[0], 0};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzState& state = State();
  std::FILE* file = std::fopen(state.path, "wb");
  Check(file != nullptr, "cannot write the input file");
  Check(size == 0 || std::fwrite(data, 1, size, file) == size, "short write");
  std::fclose(file);

  LPDIRECTDRAWPALETTE palette = DDLoadPalette(state.direct_draw, state.path);
  Check(palette != nullptr, "no palette");
  PALETTEENTRY entries[256];
  Check(palette->GetEntries(0, 0, 256, entries) == DD_OK, "GetEntries failed");
  palette->Release();
  // Released objects keep their shells until freed; free them so each run ends even.
  orv::platform::ReleasedObjects::FreeAll();

  PALETTEENTRY expected[256];
  ExpectedPalette(data, size, expected);
  // A palette made without DDPCAPS_ALLOW256 holds entry 0 black and entry 255 white.
  expected[0].peRed = expected[0].peGreen = expected[0].peBlue = 0;
  expected[255].peRed = expected[255].peGreen = expected[255].peBlue = 255;
  Check(std::memcmp(entries, expected, sizeof(entries)) == 0, "entries differ from the file");
  return 0;
}
