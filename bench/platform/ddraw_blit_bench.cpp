// DirectDraw's BltFast against plain memcpy: the full-screen background copy, the same
// copy again as every frame of the game makes it, and one keyed sprite.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bench_ratio.h"
#include "hosts/headless/headless_host.h"
#include "platform.h"

namespace {

constexpr DWORD kWidth = 640;
constexpr DWORD kHeight = 480;

// A DirectDraw object at the normal level making 8-bit off-screen surfaces.
class Surfaces {
 public:
  Surfaces() {
    DirectDrawCreateEx(NULL, reinterpret_cast<LPVOID*>(&object_), IID_IDirectDraw7, NULL);
    object_->SetCooperativeLevel(NULL, DDSCL_NORMAL);
  }
  ~Surfaces() { object_->Release(); }

  LPDIRECTDRAWSURFACE7 Make(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    desc.ddpfPixelFormat.dwRGBBitCount = 8;
    LPDIRECTDRAWSURFACE7 surface = nullptr;
    object_->CreateSurface(&desc, &surface, NULL);
    return surface;
  }

 private:
  orv::platform::HeadlessHost host_;
  LPDIRECTDRAW7 object_ = nullptr;
};

// Fills a surface with a pattern in which about every third pixel is `keyed`.
void FillPattern(LPDIRECTDRAWSURFACE7 surface, std::uint8_t keyed) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  surface->Lock(NULL, &desc, 0, NULL);
  auto* bits = static_cast<std::uint8_t*>(desc.lpSurface);
  for (DWORD y = 0; y < desc.dwHeight; ++y) {
    for (DWORD x = 0; x < desc.dwWidth; ++x) {
      const DWORD n = x * 7 + y * 13;
      bits[y * desc.lPitch + x] = n % 3 == 0 ? keyed : static_cast<std::uint8_t>(n);
    }
  }
  surface->Unlock(NULL);
}

void BM_Memcpy640x480(benchmark::State& state) {
  std::vector<std::uint8_t> from(kWidth * kHeight, 3);
  std::vector<std::uint8_t> to(kWidth * kHeight);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(from.size()));
}
BENCHMARK(BM_Memcpy640x480);

// Two backgrounds in turn, so that every copy writes the whole screen.
void BM_BltFastUnkeyed640x480(benchmark::State& state) {
  Surfaces surfaces;
  LPDIRECTDRAWSURFACE7 backgrounds[] = {surfaces.Make(kWidth, kHeight),
                                        surfaces.Make(kWidth, kHeight)};
  LPDIRECTDRAWSURFACE7 back_buffer = surfaces.Make(kWidth, kHeight);
  FillPattern(backgrounds[0], 0);
  FillPattern(backgrounds[1], 1);
  int turn = 0;
  for (auto _ : state) {
    if (back_buffer->BltFast(0, 0, backgrounds[turn], NULL, DDBLTFAST_NOCOLORKEY) != DD_OK) {
      state.SkipWithError("BltFast failed");
      break;
    }
    turn ^= 1;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kWidth * kHeight));
}
BENCHMARK(BM_BltFastUnkeyed640x480);

// The game's frame on one buffer: the same background again over the sprite drawn last
// time, which is all it has to copy; bytes counted are the whole screen's.
void BM_BltFastSameBackgroundAgain(benchmark::State& state) {
  Surfaces surfaces;
  LPDIRECTDRAWSURFACE7 background = surfaces.Make(kWidth, kHeight);
  LPDIRECTDRAWSURFACE7 sheet = surfaces.Make(48, 46);
  LPDIRECTDRAWSURFACE7 back_buffer = surfaces.Make(kWidth, kHeight);
  FillPattern(background, 0);
  FillPattern(sheet, 0xFE);
  RECT cell = {0, 0, 48, 46};
  DWORD x = 0;
  for (auto _ : state) {
    if (back_buffer->BltFast(0, 0, background, NULL, DDBLTFAST_NOCOLORKEY) != DD_OK ||
        back_buffer->BltFast(x, 217, sheet, &cell, DDBLTFAST_NOCOLORKEY) != DD_OK) {
      state.SkipWithError("BltFast failed");
      break;
    }
    x = (x + 2) % 500;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kWidth * kHeight));
}
BENCHMARK(BM_BltFastSameBackgroundAgain);

void BM_BltFastKeyedSprite48x46(benchmark::State& state) {
  Surfaces surfaces;
  LPDIRECTDRAWSURFACE7 sheet = surfaces.Make(48, 46);
  LPDIRECTDRAWSURFACE7 back_buffer = surfaces.Make(kWidth, kHeight);
  FillPattern(sheet, 0xFE);
  DDCOLORKEY key = {0xFE, 0xFE};
  sheet->SetColorKey(DDCKEY_SRCBLT, &key);
  RECT cell = {0, 0, 48, 46};
  for (auto _ : state) {
    if (back_buffer->BltFast(296, 217, sheet, &cell, DDBLTFAST_SRCCOLORKEY) != DD_OK) {
      state.SkipWithError("BltFast failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 48 * 46);
}
BENCHMARK(BM_BltFastKeyedSprite48x46);

void BM_MemcpySprite48x46Rows(benchmark::State& state) {
  std::vector<std::uint8_t> from(48 * 46, 3);
  std::vector<std::uint8_t> to(kWidth * kHeight);
  for (auto _ : state) {
    for (int y = 0; y < 46; ++y)
      std::memcpy(&to[(217 + y) * kWidth + 296], &from[y * 48], 48);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 48 * 46);
}
BENCHMARK(BM_MemcpySprite48x46Rows);

const RatioOf kFullScreen("BltFast 640x480 unkeyed vs memcpy", "BM_BltFastUnkeyed640x480",
                          "BM_Memcpy640x480");
const RatioOf kSameAgain("BltFast 640x480 again, over a sprite, vs memcpy",
                         "BM_BltFastSameBackgroundAgain", "BM_Memcpy640x480");
const RatioOf kSprite("BltFast 48x46 keyed vs row memcpy", "BM_BltFastKeyedSprite48x46",
                      "BM_MemcpySprite48x46Rows");

}  // namespace
