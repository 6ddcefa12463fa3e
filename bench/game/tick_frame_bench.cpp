// The cost of one frame of the game on the headless host (where presentation pacing
// only moves the virtual clock), against memcpy of the bytes that frame moves.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <cstring>
#include <vector>

#include "app/frame_driver.h"
#include "shared/game_state.h"
#include "shared/game_globals.h"
#include "app/window.h"
#include "display/display.h"
#include "game/play_field.h"
#include "hosts/headless/headless_host.h"
#include "input/input_devices.h"

namespace {

// Bytes a frame asks to be copied: the background, the sprites, eight glyphs and the
// presented frame. The background copied again over the last frame's sprites copies only
// what they covered, so a frame can take less than memcpy of these bytes.
constexpr std::size_t kBackground = 640 * 480;
constexpr std::size_t kGlyphs = 8 * 8 * 16;
constexpr std::size_t kMenuSprites = 220 * 32 + 51 * 22 + 67 * 22 + 36 * 22 + 17 * 25;
constexpr std::size_t kPlaySprites = 48 * 46 + 58 * 58;
constexpr std::size_t kMenuFrameBytes = kBackground + kMenuSprites + kGlyphs + kBackground;
constexpr std::size_t kPlayFrameBytes = kBackground + kPlaySprites + kGlyphs + kBackground;

struct RunningGame {
  orv::platform::HeadlessHost host;
  HWND window = nullptr;

  RunningGame() {
    Game = InitialGameGlobals();
    HINSTANCE instance = GetModuleHandleA(NULL);
    window = CreateGameWindow(instance, SW_SHOWDEFAULT);
    if (window == NULL || SetupDisplay(window) != 0 || !SetupInput(instance, window)) {
      std::fputs("the game did not start on the headless host\n", stderr);
      std::abort();
    }
    std::strcpy(Game.FpsText, "0060 FPS");
  }
  ~RunningGame() {
    ReleaseInput();
    DestroyWindow(window);
  }
};

void RunFrames(benchmark::State& state, BYTE game_state, std::size_t frame_bytes) {
  RunningGame game;
  ResetActors();
  for (auto _ : state) {
    Game.GameState = game_state;
    Game.Player.x = 100;  // keep the ship clear of the orb
    TickFrame(game.window);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame_bytes));
}

void BM_MenuFrame(benchmark::State& state) {
  RunFrames(state, STATE_MENU, kMenuFrameBytes);
}
void BM_PlayFrame(benchmark::State& state) {
  RunFrames(state, STATE_PLAY, kPlayFrameBytes);
}

void MemcpyOf(benchmark::State& state, std::size_t bytes) {
  std::vector<std::uint8_t> source(bytes, 7), dest(bytes);
  for (auto _ : state) {
    std::memcpy(dest.data(), source.data(), bytes);
    benchmark::DoNotOptimize(dest.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
void BM_MemcpyMenuFrameBytes(benchmark::State& state) {
  MemcpyOf(state, kMenuFrameBytes);
}
void BM_MemcpyPlayFrameBytes(benchmark::State& state) {
  MemcpyOf(state, kPlayFrameBytes);
}

BENCHMARK(BM_MenuFrame);
BENCHMARK(BM_MemcpyMenuFrameBytes);
BENCHMARK(BM_PlayFrame);
BENCHMARK(BM_MemcpyPlayFrameBytes);

// Prints each frame's CPU time as a ratio to its memcpy after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs)
      times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [frame, copy] : {std::pair{"BM_MenuFrame", "BM_MemcpyMenuFrameBytes"},
                                      std::pair{"BM_PlayFrame", "BM_MemcpyPlayFrameBytes"}}) {
      if (times_.count(frame) && times_.count(copy) && times_[copy] > 0) {
        std::printf("%s / memcpy of its bytes: %.2f\n", frame, times_[frame] / times_[copy]);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
