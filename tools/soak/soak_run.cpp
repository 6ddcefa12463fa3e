#include "soak_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <thread>

#include "frame_oracle.h"
#include "hosts/headless/headless_host.h"
#include "platform.h"
#include "shared/game_globals.h"
#include "shared/game_state.h"

namespace {

using orv::platform::CapturedFrame;
using orv::platform::HeadlessHost;

constexpr std::uint64_t kMs = 1000;
constexpr std::size_t kMaxProblems = 10;
constexpr int kHangSeconds = 30;

class Soak {
 public:
  Soak(const SoakOptions& options, HeadlessHost& host)
      : options_(options), host_(host), random_(options.seed) {}

  SoakResult Run() {
    Game = InitialGameGlobals();
    joystick_ = host_.AttachJoystick("Soak pad");
    host_.OnPresent([this](const CapturedFrame& frame) { Check(frame); });
    host_.At(500 * kMs, [this](HeadlessHost&) { ChangeInput(); });
    host_.At(2000 * kMs, [this](HeadlessHost&) { disturbance_due_ = true; });

    // Virtual time costs nothing real: a game that stops showing frames for this long
    // has hung.
    std::atomic<bool> done = false;
    std::thread watchdog([this, &done] {
      std::uint64_t seen = ~std::uint64_t{0};
      for (int quiet_s = 0; !done; std::this_thread::sleep_for(std::chrono::seconds(1))) {
        const std::uint64_t now_seen = frames_seen_.load(std::memory_order_relaxed);
        quiet_s = now_seen == seen ? quiet_s + 1 : 0;
        seen = now_seen;
        if (quiet_s >= kHangSeconds) {
          std::fprintf(stderr, "soak: no frame for %d s after frame %llu: the game hangs\n",
                       kHangSeconds, static_cast<unsigned long long>(seen));
          std::abort();
        }
      }
    });
    char command_line[] = "";
    result_.exit_code = WinMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWDEFAULT);
    done = true;
    watchdog.join();
    result_.objects_left = orv::platform::Diag().live_objects();
    return result_;
  }

 private:
  std::uint64_t Uniform(std::uint64_t low, std::uint64_t high) {
    return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

  void Problem(std::string text) {
    if (result_.problems.size() < kMaxProblems)
      result_.problems.push_back("at " + std::to_string(host_.NowMicroseconds() / kMs) +
                                 " ms: " + std::move(text));
  }

  // New keys and stick: each arrow and direction at random. A (key or button 0) only
  // while the cursor is on Start and nothing can move it, so that the run never chooses
  // Exit.
  void ChangeInput() {
    const std::uint8_t arrows[] = {DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT};
    bool vertical = false;
    for (std::uint8_t key : arrows) {
      const bool held = Chance(0.3);
      held ? host_.PressKey(key) : host_.ReleaseKey(key);
      vertical |= held && (key == DIK_UP || key == DIK_DOWN);
    }
    const std::int32_t stick_x =
        Chance(0.2) ? static_cast<std::int32_t>(Uniform(0, 65535)) - 32768 : 0;
    const std::int32_t stick_y =
        Chance(0.2) ? static_cast<std::int32_t>(Uniform(0, 65535)) - 32768 : 0;
    host_.SetJoystickAxis(joystick_, 0, stick_x);
    host_.SetJoystickAxis(joystick_, 1, stick_y);
    vertical |= stick_y != 0;
    const bool may_choose = Game.MenuSelection == 0 && !vertical;
    const bool press_a = may_choose && Chance(0.15);
    press_a ? host_.PressKey(DIK_A) : host_.ReleaseKey(DIK_A);
    host_.SetJoystickButton(joystick_, 0, may_choose && Chance(0.05));
    for (int button = 1; button < 10; ++button)
      host_.SetJoystickButton(joystick_, button, Chance(0.1));
    host_.At(host_.NowMicroseconds() + Uniform(50, 400) * kMs,
             [this](HeadlessHost&) { ChangeInput(); });
  }

  void Inject(const char* operation, HRESULT result, int count, int skip = 0) {
    host_.diagnostics().InjectFault(operation, result, count, skip);
  }

  // One disturbance, then the next one a while after it has ended. Disturbances start
  // right after a frame was shown, so that each one meets the frames after it whole.
  void Disturb() {
    disturbance_due_ = false;
    ++result_.disturbances;
    // A fault that found no call to hit does not linger into the next disturbance.
    host_.diagnostics().ClearFaults();
    std::uint64_t ends_after = 0;  // for a disturbance that lasts: when `end` ends it
    void (*end)(HeadlessHost&) = [](HeadlessHost& h) { h.GainFocus(); };
    switch (Uniform(0, 10)) {
      case 0:  // busy blits, now and then longer than the game waits
        Inject("IDirectDrawSurface7::BltFast", DDERR_WASSTILLDRAWING,
               static_cast<int>(std::min<std::uint64_t>(Uniform(1, 4) * Uniform(1, 8000), 30000)),
               static_cast<int>(Uniform(0, 5)));
        break;
      case 1:  // a busy flip
        Inject("IDirectDrawSurface7::Flip", DDERR_WASSTILLDRAWING,
               static_cast<int>(Uniform(1, 20000)));
        break;
      case 2:  // a blit finds its surfaces lost
        Inject("IDirectDrawSurface7::BltFast", DDERR_SURFACELOST, 1,
               static_cast<int>(Uniform(0, 6)));
        break;
      case 3:  // lost, and restores that fail for a while
        Inject("IDirectDrawSurface7::BltFast", DDERR_SURFACELOST, 1);
        Inject("IDirectDrawSurface7::Restore", DDERR_WRONGMODE, static_cast<int>(Uniform(1, 8)),
               static_cast<int>(Uniform(0, 4)));
        break;
      case 4:  // lost, and a sheet's bitmap cannot be copied back
        Inject("IDirectDrawSurface7::BltFast", DDERR_SURFACELOST, 1);
        FailReloads();
        break;
      case 5:  // the flip finds the primary lost
        Inject("IDirectDrawSurface7::Flip", DDERR_SURFACELOST, 1);
        break;
      case 6:  // a lock fails (nothing in a running game should depend on one)
        Inject("IDirectDrawSurface7::Lock", DDERR_SURFACEBUSY, 1);
        break;
      case 7:  // the joystick unplugged, and plugged in again later
        host_.DetachJoystick(joystick_);
        host_.At(host_.NowMicroseconds() + Uniform(300, 3000) * kMs,
                 [this](HeadlessHost& h) { joystick_ = h.AttachJoystick("Soak pad"); });
        break;
      case 8:  // a device that stays busy for a while: each frame gives up its blits
        ends_after = Uniform(50, 300) * kMs;
        Inject(Chance(0.5) ? "IDirectDrawSurface7::BltFast" : "IDirectDrawSurface7::Flip",
               DDERR_WASSTILLDRAWING, 1 << 30);
        end = [](HeadlessHost& h) { h.diagnostics().ClearFaults(); };
        break;
      case 9:  // another window takes the focus: the exclusive display goes with it
        ends_after = Uniform(100, 2000) * kMs;
        host_.LoseFocus(false);
        break;
      default:  // minimised and restored
        ends_after = Uniform(100, 5000) * kMs;
        host_.LoseFocus(true);
        break;
    }
    const std::uint64_t now = host_.NowMicroseconds();
    if (ends_after == 0) {
      Disturbed(now);
    } else {
      // The display the window gets back is lost for real, and its recovery may meet
      // failing reloads too.
      const bool fail_reloads = Chance(0.3);
      host_.At(now + ends_after, [this, end, fail_reloads](HeadlessHost& h) {
        end(h);
        if (fail_reloads)
          FailReloads();
        last_frame_us_.reset();  // no frames were due meanwhile
        Disturbed(h.NowMicroseconds());
      });
    }
    host_.At(now + ends_after + Uniform(200, 2000) * kMs,
             [this](HeadlessHost&) { disturbance_due_ = true; });
  }

  // Bitmaps that cannot be copied back into a sheet or two at the next recovery.
  void FailReloads() {
    if (Chance(0.5))
      Inject("LoadImageA", 0, 2, static_cast<int>(Uniform(0, 3)));
    else
      Inject("StretchBlt", 0, static_cast<int>(Uniform(1, 3)), static_cast<int>(Uniform(0, 3)));
  }

  // A disturbance has ended at `time`: a correct frame is due from here on. One that comes
  // before an earlier one was recovered from adds to it.
  void Disturbed(std::uint64_t time) {
    if (!outstanding_since_) {
      outstanding_since_ = time;
      frames_since_disturbed_ = 0;
    }
  }

  bool Shows(const CapturedFrame& frame, Scene scene) const {
    return ComposeFrame(sheets_, scene) == frame.indices;
  }

  // Every frame shown: is it the frame the game's state calls for?
  void Check(const CapturedFrame& frame) {
    const std::uint64_t now = frame.time_us;
    if (++result_.frames == 1) {
      // The first frame comes before any disturbance: the sheets are as loaded.
      if (!CopySheets(sheets_))
        Problem("the sheets could not be read after set-up");
      palette_ = frame.palette;
    }
    frames_seen_.fetch_add(1, std::memory_order_relaxed);
    if (last_frame_us_) {
      const std::uint64_t gap = now - *last_frame_us_;
      result_.longest_frame_gap_us = std::max(result_.longest_frame_gap_us, gap);
      if (gap > options_.frame_gap_bound_us)
        Problem("a frame took " + std::to_string(gap / kMs) + " ms");
    }
    last_frame_us_ = now;

    const std::uint64_t faults_answered = host_.diagnostics().faults_answered();
    // A state stored during the frame takes effect at the next one: Start still shows
    // the menu, and so does the frame of contact, which shows the play field.
    bool correct = false;
    if (std::memcmp(frame.palette.data(), palette_.data(), sizeof(palette_)) == 0) {
      switch (Game.GameState) {
        case STATE_PLAY:
          correct = Shows(frame, Scene::kPlayField);
          break;
        case STATE_START:
          correct = Shows(frame, Scene::kTitleMenu);
          break;
        default:
          correct = Shows(frame, Scene::kTitleMenu) ||
                    (previous_state_ == STATE_PLAY && Shows(frame, Scene::kPlayField));
          break;
      }
    }
    previous_state_ = Game.GameState;

    if (correct) {
      if (outstanding_since_) {
        ++result_.recoveries;
        result_.worst_recovery_us = std::max(result_.worst_recovery_us, now - *outstanding_since_);
        result_.worst_recovery_frames =
            std::max(result_.worst_recovery_frames, frames_since_disturbed_ + 1);
        outstanding_since_.reset();
      }
    } else if (!outstanding_since_ && faults_answered == faults_answered_before_) {
      // Wrong with no fault met since the last frame shown: nothing can excuse it.
      Problem("a wrong frame while nothing was disturbed");
    } else {
      Disturbed(now);
      if (++frames_since_disturbed_ > options_.recovery_bound_frames) {
        Problem("no correct frame in the " + std::to_string(options_.recovery_bound_frames) +
                " frames after a disturbance");
        outstanding_since_.reset();
      }
    }
    if (result_.frames == options_.frames)
      host_.RequestClose();
    else if (disturbance_due_)
      Disturb();
    faults_answered_before_ = host_.diagnostics().faults_answered();
  }

  const SoakOptions& options_;
  HeadlessHost& host_;
  std::mt19937_64 random_;
  std::uint32_t joystick_ = 0;
  SheetCopies sheets_;
  std::array<PALETTEENTRY, 256> palette_{};
  BYTE previous_state_ = STATE_MENU;
  bool disturbance_due_ = false;
  std::optional<std::uint64_t> outstanding_since_;
  std::uint64_t frames_since_disturbed_ = 0;
  std::uint64_t faults_answered_before_ = 0;  // at the end of the last frame shown
  std::optional<std::uint64_t> last_frame_us_;
  std::atomic<std::uint64_t> frames_seen_ = 0;
  SoakResult result_;
};

}  // namespace

SoakResult RunSoak(const SoakOptions& options) {
  HeadlessHost host;
  return Soak(options, host).Run();
}
