// The host for real play: an SDL2 window on the desktop. Exclusive mode makes it a
// full-screen desktop window in which the frame is shown scaled by a whole factor and
// centred on black; Alt+Enter switches the exclusive display to a resizable window
// (twice the mode's size where the desktop has room) and back. A frame costs what changed
// since the one before: only those regions are converted and sent, through an
// accelerated renderer with vertical sync where there is one, else through the window
// surface (see present_choice.h). Dialogs are SDL message boxes; debug output goes to
// standard error.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/host.h"
#include "hosts/changes/changed_regions.h"
#include "hosts/sdl/event_news.h"
#include "hosts/sdl/present_choice.h"
#include "hosts/sdl/present_log.h"
#include "hosts/sdl/presenter.h"
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
  void AwaitFrameDue(std::uint64_t due) override;
  bool KeepsDisplayWhenInactive() override;
  bool PollEvent(HostEvent& event) override;
  void WaitForEvent() override;
  void ReadKeyboard(std::array<std::uint8_t, 256>& keys) override;
  std::vector<JoystickInfo> Joysticks() override;
  bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) override;

  // The SDL window, null while none is open (for tests and tools).
  SDL_Window* window() const { return window_; }
  // How the open window presents; the window surface while none is open.
  sdl::PresentPath present_path() const;
  // The window's picture as 0xRRGGBB pixels, whichever way it presents (for tests).
  bool ReadWindowPicture(std::vector<std::uint32_t>& pixels, int& width, int& height);
  // The bytes the last Present sent towards the display.
  std::size_t last_present_bytes() const { return last_present_bytes_; }

 private:
  // How the window shows what it shows.
  enum class Presentation {
    kPlainWindow,   // not exclusive: the window at the size the program gave it
    kFullScreen,    // the exclusive display over the whole desktop
    kScaledWindow,  // the exclusive display in a resizable window
  };

  // Writes what the libraries wrote while standard error was held, if the player asked.
  void PassLibraryOutput(const std::string& text);
  // Opens the renderer the choice asks for on the window, or takes the window surface.
  void OpenPresenter();
  void ShowBlack();
  // Draws what is shown again, whole, at once; or for black alone, soon (see Redraw).
  void Redraw();
  void DrawWhole();
  // Sends what changed to the window.
  void Put(const std::vector<changes::Region>& regions);
  // Shows the frame held for its due time, sleeping until then.
  void ShowHeldFrame();
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
  // The next event from SDL, asking it only when it may have one (see EventNews).
  bool TakeSdlEvent(SDL_Event& sdl_event, std::uint64_t now);

  SdlHostOptions options_;
  bool video_ready_ = false;
  // Why nothing can be shown, empty when a display is open; said once.
  std::string no_display_;
  bool no_display_said_ = false;
  sdl::PresentChoice present_choice_ = sdl::PresentChoice::kAuto;
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
  // SDL has read the window system's events since the keyboard was last read: its key
  // state is current.
  bool events_read_since_keyboard_ = false;
  sdl::EventNews event_news_;
  // The last frame presented, kept to find what the next one changes and to draw it
  // again when the window changes size or is uncovered.
  changes::ShownFrame shown_;
  std::unique_ptr<sdl::Presenter> presenter_;
  sdl::XConnectionAheadPtr x_connection_ahead_;  // until the first window presents
  std::size_t last_present_bytes_ = 0;
  // Black to be drawn, unless a frame comes first; since when.
  bool black_pending_ = false;
  std::uint64_t black_pending_since_us_ = 0;
  sdl::PresentLog present_log_;
  // Flips hand over a frame before it is due and the host shows it at its due time, so
  // that the frame loop's sleep and the wait for the frame are one wake-up: the frame and
  // its changes are already in `shown_`, held until `held_due_us_`. Whatever clears
  // `shown_` drops the held frame.
  std::uint64_t next_due_us_ = 0;             // of the frame presented next; 0: show it at once
  std::optional<std::uint64_t> held_due_us_;  // while a frame is held
};

}  // namespace orv::platform
