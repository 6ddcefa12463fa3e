// The headless host: no window system. Time is a virtual clock that only moves when
// the platform sleeps or a test advances it; input is scripted; debug lines, message
// boxes and presented frames are captured for inspection.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/host.h"

namespace orv::platform {

struct MessageBoxRecord {
  std::string text;
  std::string caption;
};

struct CapturedFrame {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;  // width * height, rows top-down
  std::array<PALETTEENTRY, 256> palette{};
  std::uint64_t time_us = 0;  // virtual time of presentation

  std::uint8_t IndexAt(int x, int y) const { return indices[y * width + x]; }
  // 0x00RRGGBB of the pixel through the palette.
  std::uint32_t RgbAt(int x, int y) const;
  std::vector<std::uint32_t> Rgb() const;
};

class HeadlessHost : public Host {
 public:
  // Virtual time that one look at an empty event queue takes.
  static constexpr std::uint64_t kIdlePollCostUs = 20;

  // Installs itself as the platform's host and resets every service.
  HeadlessHost();
  ~HeadlessHost() override;

  // Returns every service and this host to the state at process start.
  void Reset();

  // Virtual clock.
  void SetNowMicroseconds(std::uint64_t now) { now_us_ = now; }
  // Virtual time each look at the clock takes (0 by default), for code that waits by
  // watching the clock.
  void SetClockReadCostMicroseconds(std::uint64_t cost) { clock_read_cost_us_ = cost; }
  void AdvanceMilliseconds(std::uint64_t ms);
  std::uint64_t total_slept_us() const { return total_slept_us_; }

  // Scripted input: `action` runs when the platform next looks at the host at or
  // after virtual time `at_us`. Actions run in time order.
  void At(std::uint64_t at_us, std::function<void(HeadlessHost&)> action);
  bool has_scheduled_actions() const { return !schedule_.empty(); }

  // Window events, delivered through the message loop.
  void MovePointer();
  void LoseFocus(bool minimized);
  void GainFocus();
  void RequestClose();
  void SetDisplayAvailable(bool available) { display_available_ = available; }
  // Shows the exclusive display as in a window: it stays while another window is active.
  void SetKeepsDisplayWhenInactive(bool keeps) { keeps_display_when_inactive_ = keeps; }

  // Keyboard (DirectInput key codes) and joysticks.
  void PressKey(std::uint8_t key) { keys_[key] = 0x80; }
  void ReleaseKey(std::uint8_t key) { keys_[key] = 0; }
  std::uint32_t AttachJoystick(std::string name, int axes = 2, int buttons = 10, int hats = 0);
  void DetachJoystick(std::uint32_t instance_id);
  void SetJoystickAxis(std::uint32_t instance_id, int axis, std::int32_t value);
  void SetJoystickButton(std::uint32_t instance_id, int button, bool held);
  void SetJoystickHat(std::uint32_t instance_id, int hat, std::int32_t value);

  // What the platform showed.
  const std::vector<std::string>& debug_lines() const { return debug_lines_; }
  const std::vector<MessageBoxRecord>& message_boxes() const { return message_boxes_; }
  int presented_count() const { return presented_count_; }
  const CapturedFrame& last_frame() const { return last_frame_; }
  // Called for every presented frame, after it was captured.
  void OnPresent(std::function<void(const CapturedFrame&)> callback) {
    present_callback_ = std::move(callback);
  }
  // Called while a message box is up (the box is dismissed when it returns).
  void OnMessageBox(std::function<void(HeadlessHost&)> callback) {
    message_box_callback_ = std::move(callback);
  }
  bool window_open() const { return window_open_; }
  const std::string& window_title() const { return window_title_; }
  bool pointer_visible() const { return pointer_visible_; }
  bool exclusive() const { return exclusive_; }

  Diagnostics& diagnostics() { return Diag(); }

  // Host interface.
  std::uint64_t NowMicroseconds() override { return now_us_ += clock_read_cost_us_; }
  void SleepMicroseconds(std::uint64_t duration) override;
  void SleepUntilMicroseconds(std::uint64_t deadline) override;
  void DebugOutput(std::string_view text) override;
  void ShowMessageBox(std::string_view text, std::string_view caption) override;
  void OpenWindow(std::string_view title, int width, int height) override;
  void CloseWindow() override;
  void SetPointerVisible(bool visible) override { pointer_visible_ = visible; }
  bool DisplayAvailable() override { return display_available_; }
  void SetExclusiveMode(bool exclusive, int width, int height) override;
  void Present(const PresentedFrame& frame) override;
  bool KeepsDisplayWhenInactive() override { return keeps_display_when_inactive_; }
  bool PollEvent(HostEvent& event) override;
  void WaitForEvent() override;
  void ReadKeyboard(std::array<std::uint8_t, 256>& keys) override;
  std::vector<JoystickInfo> Joysticks() override;
  bool ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) override;

 private:
  struct Joystick {
    JoystickInfo info;
    JoystickReading reading;
  };
  void RunDueActions();

  std::uint64_t now_us_ = 0;
  std::uint64_t total_slept_us_ = 0;
  std::uint64_t clock_read_cost_us_ = 0;
  std::multimap<std::uint64_t, std::function<void(HeadlessHost&)>> schedule_;
  std::vector<HostEvent> events_;
  std::array<std::uint8_t, 256> keys_{};
  std::vector<Joystick> joysticks_;
  std::uint32_t next_joystick_id_ = 1;
  std::vector<std::string> debug_lines_;
  std::vector<MessageBoxRecord> message_boxes_;
  CapturedFrame last_frame_;
  int presented_count_ = 0;
  std::function<void(const CapturedFrame&)> present_callback_;
  std::function<void(HeadlessHost&)> message_box_callback_;
  bool display_available_ = true;
  bool keeps_display_when_inactive_ = false;
  bool window_open_ = false;
  std::string window_title_;
  bool pointer_visible_ = true;
  bool exclusive_ = false;
  bool running_actions_ = false;
};

}  // namespace orv::platform
