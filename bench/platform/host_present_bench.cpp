// The SDL host's presentation: converting a 640x480 8-bit frame through the palette into
// a 32-bit picture, against memcpy of the bytes that conversion writes; the search for
// what changed between two frames, against memcmp of the frame; and a Present on SDL's
// dummy video driver (the host's own work, no upload) of a frame that changed whole and
// of one in which only the ship moved, and, when there is a display, on it in full screen
// (with the upload to the X server).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "bench_ratio.h"
#include "hosts/changes/changed_regions.h"
#include "hosts/sdl/frame_conversion.h"
#include "hosts/sdl/sdl_host.h"

namespace {

using orv::platform::PresentedFrame;
using namespace orv::platform::sdl;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A frame of varied indices and a palette of varied colours.
struct Frame {
  std::vector<std::uint8_t> indices = std::vector<std::uint8_t>(kWidth * kHeight);
  std::vector<PALETTEENTRY> palette = std::vector<PALETTEENTRY>(256);
  Frame() {
    for (int i = 0; i < kWidth * kHeight; ++i)
      indices[i] = static_cast<std::uint8_t>(i * 7 + i / 640);
    for (int i = 0; i < 256; ++i) {
      palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i * 3), static_cast<BYTE>(i * 5), 0};
    }
  }
  PresentedFrame View() const { return {indices.data(), kWidth, kHeight, kWidth, palette.data()}; }
  // The ship's 48x46 cell at (x, 100), drawn over the frame.
  void Ship(int x) {
    for (int y = 100; y < 146; ++y) {
      for (int i = 0; i < 48; ++i)
        indices[y * kWidth + x + i] = static_cast<std::uint8_t>(200 + (i + y) % 7);
    }
  }
};

// Two play frames: the ship two pixels further right in the second.
struct PlayFrames {
  Frame before;
  Frame after;
  PlayFrames() {
    before.Ship(100);
    after.Ship(102);
  }
};

void BM_FindChangedRegionsShipMoved(benchmark::State& state) {
  const PlayFrames frames;
  std::vector<orv::platform::changes::Region> regions;
  for (auto _ : state) {
    orv::platform::changes::FindChangedRegions({frames.before.indices.data(), kWidth},
                                               {frames.after.indices.data(), kWidth}, kWidth,
                                               kHeight, regions);
    benchmark::DoNotOptimize(regions.data());
  }
  state.SetBytesProcessed(state.iterations() * 2 * kWidth * kHeight);
}
BENCHMARK(BM_FindChangedRegionsShipMoved);

// The least any search must do: read both frames whole (equal frames, so memcmp reads to
// the end).
void BM_MemcmpFrames(benchmark::State& state) {
  const Frame frame;
  const Frame copy = frame;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        std::memcmp(frame.indices.data(), copy.indices.data(), kWidth * kHeight));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 2 * kWidth * kHeight);
}
BENCHMARK(BM_MemcmpFrames);

// Argument: the scale; the target is exactly the scaled frame.
void BM_HostConvertFrame(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const Frame frame;
  const PaletteLut lut = MakePaletteLut(frame.palette.data(), PixelLayout{});
  std::vector<std::uint32_t> target(static_cast<std::size_t>(kWidth * scale) * kHeight * scale);
  const TargetPicture picture{target.data(), kWidth * scale, kHeight * scale,
                              static_cast<int>(kWidth * scale * sizeof(std::uint32_t))};
  for (auto _ : state) {
    DrawFrame(frame.View(), lut, FramePlacement{scale, 0, 0}, 0, picture);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * target.size() * sizeof(std::uint32_t));
}
BENCHMARK(BM_HostConvertFrame)->Arg(1)->Arg(2);

// Argument: the scale, as above; copies as many bytes as the conversion writes.
void BM_MemcpyConvertedBytes(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const std::size_t bytes = std::size_t{kWidth} * kHeight * 4 * scale * scale;
  std::vector<std::uint8_t> source(bytes, 0x5A);
  std::vector<std::uint8_t> target(bytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), bytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_MemcpyConvertedBytes)->Arg(1)->Arg(2);

// Frames that alternate: argument 0, two frames differing everywhere (each a whole
// conversion); 1, two play frames in which only the ship moved.
struct AlternatingFrames {
  PlayFrames play;
  Frame other;
  explicit AlternatingFrames(std::int64_t kind) : kind(kind) {
    for (auto& index : other.indices)
      index = static_cast<std::uint8_t>(index + 1);
  }
  PresentedFrame Next() {
    second = !second;
    if (!second)
      return play.before.View();
    return kind == 0 ? other.View() : play.after.View();
  }
  std::int64_t kind;
  bool second = false;
};

// SdlHost::Present in exclusive mode on the dummy driver's 1024x768 desktop: the host's
// own work, nothing uploaded.
void BM_SdlHostPresentDummy(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  unsetenv("ORV_SDL_PRESENT");
  std::optional<orv::platform::SdlHost> host(std::in_place);
  host->OpenWindow("Benchmark", kWidth, kHeight);
  host->SetExclusiveMode(true, kWidth, kHeight);
  if (host->window() == nullptr) {
    state.SkipWithError("no window on the dummy driver");
    return;
  }
  AlternatingFrames frames(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    host->Present(frames.Next());
    bytes += host->last_present_bytes();
  }
  state.counters["bytes_per_frame"] =
      static_cast<double>(bytes) / static_cast<double>(state.iterations());
  host.reset();
  unsetenv("SDL_VIDEODRIVER");
}
BENCHMARK(BM_SdlHostPresentDummy)->Arg(0)->Arg(1);

// SdlHost::Present in exclusive mode on the real display, when there is one, with the
// upload to the display server (ORV_SDL_PRESENT chooses the way, as for the game).
void BM_SdlHostPresentOnDisplay(benchmark::State& state) {
  std::optional<orv::platform::SdlHost> host(std::in_place);
  if (!host->DisplayAvailable()) {
    state.SkipWithError("no display");
    return;
  }
  host->OpenWindow("Benchmark", kWidth, kHeight);
  host->SetExclusiveMode(true, kWidth, kHeight);
  // Let the window reach its full-screen size before measuring.
  orv::platform::HostEvent event;
  for (int i = 0; i < 50; ++i) {
    while (host->PollEvent(event)) {
    }
    SDL_Delay(10);
  }
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(host->window(), &width, &height);
  const bool renderer = host->present_path() == orv::platform::sdl::PresentPath::kRenderer;
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height) +
                 (renderer ? " renderer" : " surface"));
  AlternatingFrames frames(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    host->Present(frames.Next());
    bytes += host->last_present_bytes();
    while (host->PollEvent(event)) {
    }
  }
  state.counters["bytes_per_frame"] =
      static_cast<double>(bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SdlHostPresentOnDisplay)->Arg(0)->Arg(1)->UseRealTime();

const RatioOf kConvert1("host conversion 640x480 / memcpy", "BM_HostConvertFrame/1",
                        "BM_MemcpyConvertedBytes/1");
const RatioOf kConvert2("host conversion 1280x960 / memcpy", "BM_HostConvertFrame/2",
                        "BM_MemcpyConvertedBytes/2");
const RatioOf kSearch("changed-region search / memcmp", "BM_FindChangedRegionsShipMoved",
                      "BM_MemcmpFrames");
const RatioOf kPresentShip("Present, ship moved / frame changed whole", "BM_SdlHostPresentDummy/1",
                           "BM_SdlHostPresentDummy/0");

}  // namespace
