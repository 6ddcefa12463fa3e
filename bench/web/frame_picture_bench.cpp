// The web host's presentation before the canvas: finding what changed in a 640x480 8-bit
// frame and converting it into the canvas's RGBA pixels. Frames as the game draws them:
// the same frame again, the frame-rate digits changed (the menu), the ship two pixels on
// with the digits (play), and a new palette (the whole frame), against memcpy of the
// whole converted picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bench_ratio.h"
#include "hosts/web/frame_picture.h"

namespace {

using orv::platform::PresentedFrame;
using orv::platform::web::FramePicture;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

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
  void Fill(int x, int y, int w, int h, std::uint8_t index) {
    for (int row = y; row < y + h; ++row)
      std::memset(&indices[row * kWidth + x], index, w);
  }
  PresentedFrame View() const { return {indices.data(), kWidth, kHeight, kWidth, palette.data()}; }
};

enum Change { kNothing, kDigits, kShipAndDigits, kPalette };

// Argument: what changes from one frame to the next.
void BM_WebPictureUpdate(benchmark::State& state) {
  const auto change = static_cast<Change>(state.range(0));
  Frame frame;
  FramePicture picture;
  picture.Update(frame.View());
  int step = 0;
  std::size_t areas = 0;
  for (auto _ : state) {
    ++step;
    switch (change) {
      case kNothing:
        break;
      case kDigits:
        frame.Fill(0, 0, 32, 16, static_cast<std::uint8_t>(step));
        break;
      case kShipAndDigits:
        frame.Fill(0, 0, 32, 16, static_cast<std::uint8_t>(step));
        frame.Fill(100 + step % 200, 100, 48, 46, static_cast<std::uint8_t>(step * 3));
        break;
      case kPalette:
        frame.palette[step % 256].peRed ^= 1;
        break;
    }
    areas += picture.Update(frame.View()).size();
    benchmark::DoNotOptimize(picture.pixels());
    benchmark::ClobberMemory();
  }
  state.counters["areas"] = benchmark::Counter(static_cast<double>(areas) / state.iterations());
}
BENCHMARK(BM_WebPictureUpdate)
    ->Arg(kNothing)
    ->Arg(kDigits)
    ->Arg(kShipAndDigits)
    ->Arg(kPalette)
    ->ArgNames({"change"});

void BM_MemcpyWholePicture(benchmark::State& state) {
  const std::size_t bytes = std::size_t{kWidth} * kHeight * 4;
  std::vector<std::uint8_t> source(bytes, 0x5A);
  std::vector<std::uint8_t> target(bytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), bytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_MemcpyWholePicture);

const RatioOf kPlay("web picture, play frame / memcpy of the whole picture",
                    "BM_WebPictureUpdate/change:2", "BM_MemcpyWholePicture");
const RatioOf kWhole("web picture, whole frame / memcpy of the whole picture",
                     "BM_WebPictureUpdate/change:3", "BM_MemcpyWholePicture");

}  // namespace
