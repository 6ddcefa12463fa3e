#include "hosts/sdl/sdl_host.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <time.h>

#include "hosts/sdl/frame_placement.h"
#include "hosts/sdl/held_stderr.h"
#include "hosts/sdl/sdl_input.h"
#include "hosts/sdl/system_allocations.h"
#include "hosts/sdl/video_start.h"

namespace orv::platform {
namespace {

// How long one wait for an event may block before the message loop looks again. SDL wakes
// the wait as soon as an event arrives, so this only bounds a wait that missed one; the
// loop waits only while minimised, where a longer wait costs nothing a player sees.
constexpr Uint32 kEventWaitMs = 100;

// The exclusive display in a window: at most twice the mode's size.
constexpr int kLargestWindowScale = 2;

// How long black may wait for a first frame while the program looks at its messages.
constexpr std::uint64_t kLongestBlackWaitUs = 100'000;

}  // namespace

SdlHost::SdlHost(const SdlHostOptions& options) : options_(options) {
  windowed_ = options.start_windowed;
  // The window surface through X11 shared memory is several times faster than through
  // SDL's OpenGL path, and the frame is scaled by hand anyway.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Losing the foreground in exclusive mode is handled here, as Windows does it.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  bool known = true;
  const char* choice = std::getenv(sdl::kPresentVariable);
  present_choice_ = sdl::ParsePresentChoice(choice, known);
  if (!known) {
    std::fprintf(stderr, "%s=%s is neither renderer nor surface: chosen by the machine\n",
                 sdl::kPresentVariable, choice);
  }
  // Before SDL makes its own connection; used by the first window's presenter.
  x_connection_ahead_ = sdl::OpenXConnectionAhead();
  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
  }
  const sdl::VideoStart video = sdl::StartVideo(options.library_output);
  video_ready_ = video.video_ready;
  no_display_ = video.no_display;
  sdl::HeldStandardError held;
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  PassLibraryOutput(held.Release());
}

void SdlHost::PassLibraryOutput(const std::string& text) {
  if (options_.library_output)
    std::fwrite(text.data(), 1, text.size(), stderr);
}

SdlHost::~SdlHost() {
  CloseWindow();
  SDL_Quit();
}

// The system's monotonic clock (the one std::chrono::steady_clock reads, and the one the
// frame-time log writes), on which a sleep can wait for an absolute time.
std::uint64_t SdlHost::NowMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

void SdlHost::SleepMicroseconds(std::uint64_t duration) {
  const std::uint64_t end = NowMicroseconds() + duration;
  if (held_due_us_ && duration > 0) {
    // A short sleep ends when the held frame is due and shown, as Windows ends one at its
    // next timer tick: one wake-up a frame. A sleep of nothing only yields.
    const bool ends_with_frame = *held_due_us_ >= end;
    ShowHeldFrame();
    if (ends_with_frame)
      return;
  }
  SleepUntilMicroseconds(end);
}

void SdlHost::SleepUntilMicroseconds(std::uint64_t deadline) {
  // One absolute wait: however late the thread gets here, it wakes at the deadline itself.
  timespec until{};
  until.tv_sec = static_cast<time_t>(deadline / 1'000'000);
  until.tv_nsec = static_cast<long>(deadline % 1'000'000 * 1000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

void SdlHost::DebugOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void SdlHost::ShowMessageBox(std::string_view text, std::string_view caption) {
  const std::string text_z(text);
  const std::string caption_z(caption);
  bool shown = false;
  if (DisplayAvailable()) {
    // A full-screen window would cover the box.
    const bool full_screen =
        window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    if (full_screen)
      SetFullScreen(false);
    shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption_z.c_str(), text_z.c_str(),
                                     window_) == 0;
    if (full_screen)
      SetFullScreen(true);
  }
  if (!shown)
    std::fprintf(stderr, "%s: %s\n", caption_z.c_str(), text_z.c_str());
}

void SdlHost::OpenWindow(std::string_view title, int width, int height) {
  CloseWindow();
  if (!video_ready_)
    return;
  const std::string title_z(title);
  sdl::HeldStandardError held;
  const Uint32 flags = sdl::WindowFlagsFor(present_choice_);
  {
    const sdl::SystemAllocations driver;  // an OpenGL window loads the driver
    window_ = SDL_CreateWindow(title_z.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               width, height, SDL_WINDOW_SHOWN | flags);
    if (window_ == nullptr && flags != 0) {
      // No OpenGL for this window: a renderer of another kind, or the window surface.
      window_ = SDL_CreateWindow(title_z.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 width, height, SDL_WINDOW_SHOWN);
    }
  }
  if (window_ != nullptr) {
    OpenPresenter();
    event_news_.Watch(window_);
  }
  PassLibraryOutput(held.Release());
  if (window_ == nullptr) {
    std::fprintf(stderr, "SDL_CreateWindow failed: %s\n", SDL_GetError());
    return;
  }
  window_width_ = width;
  window_height_ = height;
  presentation_ = Presentation::kPlainWindow;
  window_events_.Reset();
  SDL_RaiseWindow(window_);
}

void SdlHost::OpenPresenter() {
  presenter_.reset();
  if (SDL_Renderer* renderer = sdl::OpenRenderer(window_, present_choice_)) {
    presenter_ = sdl::MakeRendererPresenter(renderer);
    present_log_.PresentingBy("renderer");
  } else {
    presenter_ = sdl::MakeXShmPresenter(window_, x_connection_ahead_.get());
    if (presenter_ == nullptr)
      presenter_ = sdl::MakeSurfacePresenter(window_);
    present_log_.PresentingBy("surface");
  }
  x_connection_ahead_.reset();
}

void SdlHost::CloseWindow() {
  held_due_us_.reset();
  next_due_us_ = 0;
  presenter_.reset();
  if (window_ == nullptr)
    return;
  event_news_.Forget();
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  exclusive_ = false;
  presentation_ = Presentation::kPlainWindow;
  window_events_.SetFullScreen(false);
  pending_event_.reset();
  shown_.Clear();
  black_pending_ = false;
  window_mode_pending_ = false;
}

void SdlHost::SetPointerVisible(bool visible) {
  if (video_ready_)
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlHost::DisplayAvailable() {
  if (no_display_.empty())
    return true;
  // The player hears why, once, before whatever the program says about it.
  if (!no_display_said_) {
    no_display_said_ = true;
    std::fprintf(stderr, "%s\n", no_display_.c_str());
  }
  return false;
}

void SdlHost::SetExclusiveMode(bool exclusive, int width, int height) {
  exclusive_ = exclusive;
  if (exclusive) {
    mode_width_ = width;
    mode_height_ = height;
  }
  ApplyWindowMode();
  if (exclusive && presenter_ != nullptr)
    presenter_->Prepare(mode_width_, mode_height_);
  ShowBlack();
}

bool SdlHost::KeepsDisplayWhenInactive() {
  return exclusive_ && windowed_;
}

SdlHost::Presentation SdlHost::WantedPresentation() const {
  if (!exclusive_)
    return Presentation::kPlainWindow;
  return windowed_ ? Presentation::kScaledWindow : Presentation::kFullScreen;
}

void SdlHost::ApplyWindowMode() {
  const Presentation wanted = WantedPresentation();
  window_events_.SetFullScreen(wanted == Presentation::kFullScreen);
  if (window_ == nullptr)
    return;
  // Changing the full-screen state of an iconified window confuses the window manager
  // and SDL about its size (it comes back as a small window that SDL takes for full
  // screen); the change waits until the window is back.
  if (window_events_.minimized()) {
    window_mode_pending_ = true;
    return;
  }
  window_mode_pending_ = false;
  if (wanted == presentation_)
    return;
  presentation_ = wanted;
  switch (wanted) {
    case Presentation::kFullScreen:
      SDL_SetWindowResizable(window_, SDL_FALSE);
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
      break;
    case Presentation::kScaledWindow: {
      SDL_SetWindowFullscreen(window_, 0);
      int width = 0;
      int height = 0;
      ScaledWindowSize(width, height);
      SDL_SetWindowResizable(window_, SDL_TRUE);
      SDL_SetWindowSize(window_, width, height);
      const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                            SDL_WINDOWPOS_CENTERED_DISPLAY(display));
      break;
    }
    case Presentation::kPlainWindow:
      SDL_SetWindowFullscreen(window_, 0);
      SDL_SetWindowResizable(window_, SDL_FALSE);
      SDL_SetWindowSize(window_, window_width_, window_height_);
      break;
  }
}

void SdlHost::ScaledWindowSize(int& width, int& height) {
  const int frame_width = mode_width_ > 0 ? mode_width_ : window_width_;
  const int frame_height = mode_height_ > 0 ? mode_height_ : window_height_;
  int scale = 1;
  if (options_.window_scale > 0) {
    width = frame_width * options_.window_scale;
    height = frame_height * options_.window_scale;
    return;
  }
  SDL_Rect usable{};
  const int display = SDL_GetWindowDisplayIndex(window_);
  if (display >= 0 && SDL_GetDisplayUsableBounds(display, &usable) == 0) {
    // The frame of the window manager takes its share of the desktop too.
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0)
      top = left = bottom = right = 0;
    scale = sdl::WindowScale(usable.w - left - right, usable.h - top - bottom, frame_width,
                             frame_height, kLargestWindowScale);
  }
  width = frame_width * scale;
  height = frame_height * scale;
}

void SdlHost::ToggleFullScreen() {
  // Only the exclusive display has a choice; a plain window stays as the program made it.
  if (!exclusive_ || window_ == nullptr)
    return;
  windowed_ = !windowed_;
  ApplyWindowMode();
  SDL_PumpEvents();
  Redraw();
}

void SdlHost::SetFullScreen(bool full_screen) {
  SDL_SetWindowFullscreen(window_, full_screen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  // The new size arrives as events; the window surface follows it once they are pumped.
  SDL_PumpEvents();
  // Whatever comes over the window next (the message box) waits on it.
  DrawWhole();
}

void SdlHost::ShowBlack() {
  held_due_us_.reset();
  shown_.Clear();
  Redraw();
}

void SdlHost::Redraw() {
  // Black alone can wait a little for the first frame, which is drawn whole anyway: a
  // window on its way to full screen is resized and uncovered a few times, and each
  // picture of it would cost as much as the frame.
  if (shown_.empty()) {
    if (!black_pending_)
      black_pending_since_us_ = NowMicroseconds();
    black_pending_ = true;
    return;
  }
  DrawWhole();
}

void SdlHost::DrawWhole() {
  black_pending_ = false;
  if (presenter_ != nullptr)
    presenter_->Show(shown_.View(), {}, true);
}

void SdlHost::AwaitFrameDue(std::uint64_t due) {
  ShowHeldFrame();
  next_due_us_ = due;
}

void SdlHost::Present(const PresentedFrame& frame) {
  ShowHeldFrame();
  const std::uint64_t due = std::exchange(next_due_us_, 0);
  if (frame.pixels == nullptr || frame.palette == nullptr || frame.width <= 0 || frame.height <= 0)
    return;
  const std::vector<changes::Region>& regions = shown_.Show(frame);
  if (presenter_ != nullptr && due > NowMicroseconds()) {
    held_due_us_ = due;
    return;
  }
  Put(regions);
}

void SdlHost::ShowHeldFrame() {
  if (!held_due_us_)
    return;
  SleepUntilMicroseconds(*std::exchange(held_due_us_, std::nullopt));
  Put(shown_.changes());
}

void SdlHost::Put(const std::vector<changes::Region>& regions) {
  const bool whole = black_pending_;
  black_pending_ = false;
  last_present_bytes_ = presenter_ != nullptr ? presenter_->Show(shown_.View(), regions, whole) : 0;
  present_log_.FrameShown(last_present_bytes_);
}

sdl::PresentPath SdlHost::present_path() const {
  return presenter_ != nullptr ? presenter_->path() : sdl::PresentPath::kWindowSurface;
}

bool SdlHost::ReadWindowPicture(std::vector<std::uint32_t>& pixels, int& width, int& height) {
  ShowHeldFrame();
  return presenter_ != nullptr && presenter_->ReadPicture(shown_.View(), pixels, width, height);
}

bool SdlHost::TakeSdlEvent(SDL_Event& sdl_event, std::uint64_t now) {
  if (!event_news_.MayHaveEvents(now))
    return false;
  if (SDL_PollEvent(&sdl_event) != 0)
    return true;
  event_news_.AllRead(now);
  return false;
}

bool SdlHost::PollEvent(HostEvent& event) {
  if (held_due_us_ && NowMicroseconds() >= *held_due_us_)
    ShowHeldFrame();
  // Restored since the last look: the platform has had its say on exclusive mode.
  if (window_mode_pending_ && !window_events_.minimized()) {
    ApplyWindowMode();
    Redraw();
  }
  for (;;) {
    SDL_Event sdl_event;
    const std::uint64_t now = NowMicroseconds();
    if (pending_event_) {
      sdl_event = *pending_event_;
      pending_event_.reset();
    } else if (!TakeSdlEvent(sdl_event, now)) {
      // SDL's key state is as current as its queue: nothing came since it was read.
      events_read_since_keyboard_ = true;
      if (black_pending_ && now - black_pending_since_us_ >= kLongestBlackWaitUs)
        DrawWhole();
      return false;
    }
    if (sdl_event.type == SDL_WINDOWEVENT &&
        (sdl_event.window.event == SDL_WINDOWEVENT_EXPOSED ||
         sdl_event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
      Redraw();
    }
    if (presenter_ != nullptr && sdl_event.type == SDL_RENDER_TARGETS_RESET) {
      // The renderer's textures are gone: the frame goes up again whole.
      presenter_->Reset();
      Redraw();
    } else if (presenter_ != nullptr && sdl_event.type == SDL_RENDER_DEVICE_RESET) {
      // The renderer itself is gone.
      OpenPresenter();
      Redraw();
    }
    const sdl::WindowEvents::Outcome outcome = window_events_.Translate(sdl_event);
    if (outcome.minimize_window && window_ != nullptr)
      SDL_MinimizeWindow(window_);
    if (outcome.toggle_full_screen)
      ToggleFullScreen();
    if (outcome.event) {
      event = *outcome.event;
      return true;
    }
  }
}

void SdlHost::WaitForEvent() {
  ShowHeldFrame();
  if (black_pending_)
    DrawWhole();
  if (pending_event_)
    return;
  SDL_Event sdl_event;
  if (SDL_WaitEventTimeout(&sdl_event, kEventWaitMs) != 0)
    pending_event_ = sdl_event;
}

void SdlHost::ReadKeyboard(std::array<std::uint8_t, 256>& keys) {
  // The message loop has usually just emptied the queue, which read the events; a program
  // that reads the keyboard without looking at its messages still sees keys change.
  if (!events_read_since_keyboard_)
    SDL_PumpEvents();
  events_read_since_keyboard_ = false;
  sdl::ReadKeyboardState(keys);
}

std::vector<JoystickInfo> SdlHost::Joysticks() {
  return sdl::ListJoysticks();
}

bool SdlHost::ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) {
  return sdl::ReadJoystick(instance_id, reading);
}

}  // namespace orv::platform
