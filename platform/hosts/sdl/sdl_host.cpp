#include "hosts/sdl/sdl_host.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <time.h>

#include "hosts/sdl/frame_placement.h"
#include "hosts/sdl/held_stderr.h"
#include "hosts/sdl/sdl_input.h"
#include "hosts/sdl/video_start.h"

namespace orv::platform {
namespace {

// How long one wait for an event may block before the message loop looks again.
constexpr Uint32 kEventWaitMs = 10;

// The exclusive display in a window: at most twice the mode's size.
constexpr int kLargestWindowScale = 2;

// A 32-bit surface with 8-bit channels can be drawn on directly.
bool IsDirectFormat(const SDL_PixelFormat& format) {
  return format.BytesPerPixel == 4 && format.Rloss == 0 && format.Gloss == 0 && format.Bloss == 0;
}

sdl::PixelLayout LayoutOf(const SDL_PixelFormat& format) {
  return {format.Rshift, format.Gshift, format.Bshift, format.Amask};
}

}  // namespace

SdlHost::SdlHost(const SdlHostOptions& options) : options_(options) {
  windowed_ = options.start_windowed;
  // The window surface through X11 shared memory is several times faster than through
  // SDL's OpenGL path, and the frame is scaled by hand anyway.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Losing the foreground in exclusive mode is handled here, as Windows does it.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
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
  std::this_thread::sleep_for(std::chrono::microseconds(duration));
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
  window_ = SDL_CreateWindow(title_z.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                             height, SDL_WINDOW_SHOWN);
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

void SdlHost::CloseWindow() {
  if (staging_ != nullptr) {
    SDL_FreeSurface(staging_);
    staging_ = nullptr;
  }
  if (window_ == nullptr)
    return;
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  exclusive_ = false;
  presentation_ = Presentation::kPlainWindow;
  window_events_.SetFullScreen(false);
  pending_event_.reset();
  shown_ = ShownFrame();
  whole_show_ = WholeShow();
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
  Redraw();
}

void SdlHost::ShowBlack() {
  shown_.width = 0;
  shown_.height = 0;
  Redraw();
}

void SdlHost::Redraw() {
  DrawOnWindowSurface(shown_.View(), true);
}

void SdlHost::Present(const PresentedFrame& frame) {
  if (frame.pixels == nullptr || frame.palette == nullptr || frame.width <= 0 || frame.height <= 0)
    return;
  shown_.width = frame.width;
  shown_.height = frame.height;
  shown_.indices.resize(static_cast<std::size_t>(frame.width) * frame.height);
  for (int y = 0; y < frame.height; ++y) {
    std::memcpy(&shown_.indices[static_cast<std::size_t>(y) * frame.width],
                frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch, frame.width);
  }
  std::copy_n(frame.palette, 256, shown_.palette.begin());
  DrawOnWindowSurface(shown_.View(), false);
  present_log_.FrameShown();
}

void SdlHost::DrawOnWindowSurface(const PresentedFrame& frame, bool whole_window) {
  if (window_ == nullptr)
    return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr)
    return;

  SDL_Surface* target_surface = surface;
  if (!IsDirectFormat(*surface->format)) {
    if (staging_ == nullptr || staging_->w != surface->w || staging_->h != surface->h) {
      if (staging_ != nullptr)
        SDL_FreeSurface(staging_);
      staging_ =
          SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_XRGB8888);
      if (staging_ == nullptr)
        return;
    }
    target_surface = staging_;
  }

  const sdl::PixelLayout layout = LayoutOf(*target_surface->format);
  sdl::PaletteLut lut{};
  if (frame.palette != nullptr)
    lut = sdl::MakePaletteLut(frame.palette, layout);
  const sdl::FramePlacement placement =
      sdl::FitFrame(target_surface->w, target_surface->h, frame.width, frame.height);

  if (SDL_MUSTLOCK(target_surface) && SDL_LockSurface(target_surface) != 0)
    return;
  sdl::DrawFrame(frame, lut, placement, layout.opaque,
                 {static_cast<std::uint32_t*>(target_surface->pixels), target_surface->w,
                  target_surface->h, target_surface->pitch});
  if (SDL_MUSTLOCK(target_surface))
    SDL_UnlockSurface(target_surface);

  if (target_surface != surface)
    SDL_BlitSurface(target_surface, nullptr, surface, nullptr);

  // The black surround stays as it was shown while surface and frame size stay: only the
  // frame needs to reach the screen.
  const WholeShow show{surface, surface->w, surface->h, frame.width, frame.height};
  if (!whole_window && frame.width > 0 && show == whole_show_) {
    SDL_Rect area{placement.x, placement.y, frame.width * placement.scale,
                  frame.height * placement.scale};
    const SDL_Rect window_area{0, 0, surface->w, surface->h};
    if (SDL_IntersectRect(&area, &window_area, &area) == SDL_TRUE)
      SDL_UpdateWindowSurfaceRects(window_, &area, 1);
    return;
  }
  SDL_UpdateWindowSurface(window_);
  whole_show_ = show;
}

bool SdlHost::PollEvent(HostEvent& event) {
  // Restored since the last look: the platform has had its say on exclusive mode.
  if (window_mode_pending_ && !window_events_.minimized()) {
    ApplyWindowMode();
    Redraw();
  }
  for (;;) {
    SDL_Event sdl_event;
    if (pending_event_) {
      sdl_event = *pending_event_;
      pending_event_.reset();
    } else if (SDL_PollEvent(&sdl_event) == 0) {
      return false;
    }
    if (sdl_event.type == SDL_WINDOWEVENT &&
        (sdl_event.window.event == SDL_WINDOWEVENT_EXPOSED ||
         sdl_event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
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
  if (pending_event_)
    return;
  SDL_Event sdl_event;
  if (SDL_WaitEventTimeout(&sdl_event, kEventWaitMs) != 0)
    pending_event_ = sdl_event;
}

void SdlHost::ReadKeyboard(std::array<std::uint8_t, 256>& keys) {
  sdl::ReadKeyboardState(keys);
}

std::vector<JoystickInfo> SdlHost::Joysticks() {
  return sdl::ListJoysticks();
}

bool SdlHost::ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) {
  return sdl::ReadJoystick(instance_id, reading);
}

}  // namespace orv::platform
