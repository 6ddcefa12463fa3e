// The seam between the platform services and the machine they run on.
// A host owns time, the real window, presentation, dialogs and raw input; the
// services above it (windows and messages, GDI, DirectDraw, DirectInput) turn
// these into Windows behaviour. Data flows host -> platform -> game -> platform -> host.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/draw_history.h"
#include "win/base.h"

namespace orv::platform {

// Something that happened to the window on the host's side.
enum class HostEventType {
  kPointerMoved,  // the pointer moved over the window
  kFocusLost,     // another window took the foreground; `minimized` says whether we were minimised
  kFocusGained,   // the window is in the foreground again (and not minimised)
  kCloseRequested,  // the user asked to close the window (close button, Alt+F4)
};

struct HostEvent {
  HostEventType type = HostEventType::kPointerMoved;
  bool minimized = false;
};

// One frame of the exclusive display, as the platform presents it.
struct PresentedFrame {
  const std::uint8_t* pixels = nullptr;  // one palette index per pixel, rows top-down
  int width = 0;
  int height = 0;
  int pitch = 0;                          // bytes from one row to the next
  const PALETTEENTRY* palette = nullptr;  // 256 entries
  const DrawHistory* history = nullptr;   // how the pixels were drawn, where recorded
};

// Raw joystick state as the host reads it, before DirectInput's scaling.
struct JoystickReading {
  static constexpr int kAxes = 8;
  static constexpr int kButtons = 32;
  static constexpr int kHats = 4;
  std::array<std::int32_t, kAxes> axes{};  // -32768..32767, 0 at rest
  std::array<bool, kButtons> buttons{};
  std::array<std::int32_t, kHats> hats{-1, -1, -1, -1};  // hundredths of degrees, -1 centred
};

struct JoystickInfo {
  std::uint32_t instance_id = 0;  // stable for as long as the device stays attached
  std::string name;
  int axis_count = 0;
  int button_count = 0;
  int hat_count = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // Time: a monotonic microsecond clock and sleeps on it.
  virtual std::uint64_t NowMicroseconds() = 0;
  virtual void SleepMicroseconds(std::uint64_t duration) = 0;
  // Sleeps until the clock reads `deadline` (at once when it already has). A host that
  // can wake at an absolute time should: a relative sleep adds the time spent getting
  // there to every wait.
  virtual void SleepUntilMicroseconds(std::uint64_t deadline) {
    const std::uint64_t now = NowMicroseconds();
    if (now < deadline)
      SleepMicroseconds(deadline - now);
  }

  // Diagnostics and dialogs.
  virtual void DebugOutput(std::string_view text) = 0;
  // Shows a modal message box and returns when it is dismissed.
  virtual void ShowMessageBox(std::string_view text, std::string_view caption) = 0;

  // The window.
  virtual void OpenWindow(std::string_view title, int width, int height) = 0;
  virtual void CloseWindow() = 0;
  virtual void SetPointerVisible(bool visible) = 0;
  // Whether a display exists on which exclusive mode can be taken.
  virtual bool DisplayAvailable() = 0;
  // The exclusive display mode was set (true) or given back (false).
  virtual void SetExclusiveMode(bool exclusive, int width, int height) = 0;
  virtual void Present(const PresentedFrame& frame) = 0;
  // The next frame presented is due when the clock reads `due`. By default the caller
  // sleeps until then and the frame is shown as it is presented. A host may instead hold
  // the frame and show it when it falls due, waking once a frame with the program's own
  // sleep; it then answers once any frame it still holds is shown.
  virtual void AwaitFrameDue(std::uint64_t due) { SleepUntilMicroseconds(due); }
  // Whether the exclusive display stays with the window while another window is active:
  // true while the host shows it in a window rather than over the whole screen. A
  // minimised window loses it all the same.
  virtual bool KeepsDisplayWhenInactive() { return false; }

  // Events: the next pending event, without waiting; false when there is none.
  virtual bool PollEvent(HostEvent& event) = 0;
  // Waits until an event may be pending (used when the message queue is empty).
  virtual void WaitForEvent() = 0;

  // Input: key positions as DirectInput key codes (0x80 while held), and joysticks.
  virtual void ReadKeyboard(std::array<std::uint8_t, 256>& keys) = 0;
  virtual std::vector<JoystickInfo> Joysticks() = 0;
  // False when the joystick is no longer attached.
  virtual bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) = 0;
};

// The host that the services use; set once at start-up (or by a test).
Host& CurrentHost();
void InstallHost(Host* host);

}  // namespace orv::platform
