// The host for real play: an SDL2 window on the desktop. Exclusive mode makes it a
// full-screen desktop window in which the frame is shown scaled by a whole factor and
// centred on black; Alt+Enter switches the exclusive display to a resizable window
// (twice the mode's size where the desktop has room) and back. Dialogs are SDL message
// boxes; debug output goes to standard error.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/host.h"
#include "hosts/sdl/frame_conversion.h"
#include "hosts/sdl/present_log.h"
#include "hosts/sdl/window_events.h"

namespace orv::platform {

// What the player chose at start-up.
struct SdlHostOptions {
  // The exclusive display starts in a window rather than full screen.
  bool start_windowed = false;
  // The whole-number scale of the window that shows the exclusive display; 0 for the
  // largest, up to twice, that the desktop has room for.
  int window_scale = 0;
  // What SDL's libraries write to standard error reaches it.
  bool library_output = false;
};

class SdlHost : public Host {
 public:
  explicit SdlHost(const SdlHostOptions& options = {});
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  std::uint64_t NowMicroseconds() override;
  void SleepMicroseconds(std::uint64_t duration) override;
  void SleepUntilMicroseconds(std::uint64_t deadline) override;
  void DebugOutput(std::string_view text) override;
  void ShowMessageBox(std::string_view text, std::string_view caption) override;
  void OpenWindow(std::string_view title, int width, int height) override;
  void CloseWindow() override;
  void SetPointerVisible(bool visible) override;
  bool DisplayAvailable() override;
  void SetExclusiveMode(bool exclusive, int width, int height) override;
  void Present(const PresentedFrame& frame) override;
  bool KeepsDisplayWhenInactive() override;
  bool PollEvent(HostEvent& event) override;
  void WaitForEvent() override;
  void ReadKeyboard(std::array<std::uint8_t, 256>& keys) override;
  std::vector<JoystickInfo> Joysticks() override;
  bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) override;

  // The SDL window, null while none is open (for tests and tools).
  SDL_Window* window() const { return window_; }

 private:
  // The last frame presented in exclusive mode, kept to draw it again when the window
  // changes size or is uncovered.
  struct ShownFrame {
    std::vector<std::uint8_t> indices;
    std::array<PALETTEENTRY, 256> palette{};
    int width = 0;
    int height = 0;
    PresentedFrame View() const { return {indices.data(), width, height, width, palette.data()}; }
  };

  // How the window shows what it shows.
  enum class Presentation {
    kPlainWindow,   // not exclusive: the window at the size the program gave it
    kFullScreen,    // the exclusive display over the whole desktop
    kScaledWindow,  // the exclusive display in a resizable window
  };

  // Writes what the libraries wrote while standard error was held, if the player asked.
  void PassLibraryOutput(const std::string& text);
  void ShowBlack();
  void Redraw();
  Presentation WantedPresentation() const;
  // Brings the window to the wanted presentation; a minimised window is left alone until
  // it is restored.
  void ApplyWindowMode();
  // Alt+Enter: the exclusive display goes from full screen to a window or back.
  void ToggleFullScreen();
  // The size of the window that shows the exclusive display.
  void ScaledWindowSize(int& width, int& height);
  // Leaves or re-enters full screen and draws the shown frame at the new size.
  void SetFullScreen(bool full_screen);
  // Draws the frame over the whole window surface and shows it: the whole window when
  // `whole_window` or when its black surround may have changed, else only the frame.
  void DrawOnWindowSurface(const PresentedFrame& frame, bool whole_window);

  SdlHostOptions options_;
  bool video_ready_ = false;
  // Why nothing can be shown, empty when a display is open; said once.
  std::string no_display_;
  bool no_display_said_ = false;
  SDL_Window* window_ = nullptr;
  int window_width_ = 0;
  int window_height_ = 0;
  bool exclusive_ = false;
  int mode_width_ = 0;
  int mode_height_ = 0;
  // The user's choice: the exclusive display in a window rather than full screen.
  bool windowed_ = false;
  Presentation presentation_ = Presentation::kPlainWindow;
  bool window_mode_pending_ = false;
  sdl::WindowEvents window_events_;
  std::optional<SDL_Event> pending_event_;
  ShownFrame shown_;
  // What the window showed in whole last: its surface and the frame's placement on it.
  struct WholeShow {
    SDL_Surface* surface = nullptr;
    int surface_width = 0;
    int surface_height = 0;
    int frame_width = 0;
    int frame_height = 0;
    bool operator==(const WholeShow&) const = default;
  };
  WholeShow whole_show_;
  // Used when the window surface is not 32 bits per pixel: drawn here, then converted.
  SDL_Surface* staging_ = nullptr;
  sdl::PresentLog present_log_;
};

}  // namespace orv::platform
