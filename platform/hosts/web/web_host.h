// The host in the browser: the page is the window, its canvas the exclusive display,
// shown at the largest whole scale that fits and centred on black (Alt+Enter or the
// page's button take it full screen). The game's waits yield to the browser through
// Asyncify: a flip waits for the animation frame nearest its due time, Sleep and
// WaitMessage for a timer or the next event. A hidden page is a minimised window; a page
// that merely lost the focus is a deactivated window whose display stays. Keys by their
// position (KeyboardEvent.code), the standard Gamepad interface as joysticks, debug
// lines to the console, the message box as a notice over the page.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/host.h"
#include "hosts/web/frame_picture.h"
#include "hosts/web/refresh_clock.h"

namespace orv::platform {

class WebHost : public Host {
 public:
  WebHost();
  ~WebHost() override;
  WebHost(const WebHost&) = delete;
  WebHost& operator=(const WebHost&) = delete;

  std::uint64_t NowMicroseconds() override;
  void SleepMicroseconds(std::uint64_t duration) override;
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

  // The program has ended: the page says so and offers to start again.
  void ShowEnded(int exit_code);

  // The browser's events, from its event handlers.
  void OnKey(const char* code, bool down, bool repeat, bool alt);
  void OnVisibilityChanged(bool visible);
  void OnFocusChanged(bool focused);
  void OnPointerMoved();
  void OnGamepadsChanged();

 private:
  enum class State { kActive, kInactive, kMinimized };
  void ChangeState(State state);
  void Queue(const HostEvent& event);
  // Lets the browser run its events when the program has not for a while.
  void YieldIfBusy();
  void Yielded();

  struct Gamepad {
    bool connected = false;
    std::uint32_t instance_id = 0;
    std::string name;
  };
  // Brings the gamepad slots up to date with the browser's; false without gamepads.
  bool SampleGamepads();

  bool page_ready_ = false;
  bool window_open_ = false;
  bool exclusive_ = false;
  int mode_width_ = 0;
  int mode_height_ = 0;
  State state_ = State::kActive;
  std::deque<HostEvent> events_;
  std::array<std::uint8_t, 256> keys_{};
  std::vector<Gamepad> gamepads_;
  std::uint32_t next_gamepad_id_ = 1;
  web::FramePicture picture_;
  web::RefreshClock refresh_;
  double last_yield_ms_ = 0;
  std::string debug_line_;
};

}  // namespace orv::platform
