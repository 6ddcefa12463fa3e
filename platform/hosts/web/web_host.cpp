#include "hosts/web/web_host.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "hosts/keyboard/key_positions.h"
#include "hosts/web/page.h"
#include "win/dinput.h"

namespace orv::platform {
namespace {

// How long one wait for an event may block before the message loop looks again.
constexpr double kEventWaitMs = 250;
// A program that polls for events without ever waiting gets the browser's events this
// often; while minimised, when it has nothing else to do, it waits for them.
constexpr double kLongestRunMs = 50;
constexpr double kLongestMinimizedRunMs = 1;
constexpr double kMinimizedWaitMs = 100;

// Keys whose default action would scroll the page.
bool ScrollsPage(std::string_view code) {
  constexpr std::string_view kScrolling[] = {"ArrowUp",    "ArrowDown", "ArrowLeft",
                                             "ArrowRight", "Space",     "PageUp",
                                             "PageDown",   "Home",      "End"};
  return std::find(std::begin(kScrolling), std::end(kScrolling), code) != std::end(kScrolling);
}

bool IsEnter(std::string_view code) {
  return code == "Enter" || code == "NumpadEnter";
}

EM_BOOL OnKeyEvent(int type, const EmscriptenKeyboardEvent* event, void* host) {
  static_cast<WebHost*>(host)->OnKey(event->code, type == EMSCRIPTEN_EVENT_KEYDOWN,
                                     event->repeat != 0, event->altKey != 0);
  return ScrollsPage(event->code) || (event->altKey && IsEnter(event->code));
}

EM_BOOL OnVisibilityEvent(int, const EmscriptenVisibilityChangeEvent* event, void* host) {
  static_cast<WebHost*>(host)->OnVisibilityChanged(event->hidden == 0);
  return EM_FALSE;
}

EM_BOOL OnFocusEvent(int type, const EmscriptenFocusEvent*, void* host) {
  static_cast<WebHost*>(host)->OnFocusChanged(type == EMSCRIPTEN_EVENT_FOCUS);
  return EM_FALSE;
}

EM_BOOL OnMouseEvent(int, const EmscriptenMouseEvent*, void* host) {
  static_cast<WebHost*>(host)->OnPointerMoved();
  return EM_FALSE;
}

EM_BOOL OnGamepadEvent(int, const EmscriptenGamepadEvent*, void* host) {
  static_cast<WebHost*>(host)->OnGamepadsChanged();
  return EM_FALSE;
}

std::int32_t AxisValue(double value) {
  return static_cast<std::int32_t>(std::clamp(std::lround(value * 32767.0), -32768L, 32767L));
}

bool ButtonHeld(const EmscriptenGamepadEvent& state, int button) {
  return state.digitalButton[button] != 0 || state.analogButton[button] > 0.5;
}

bool StandardMapping(const EmscriptenGamepadEvent& state) {
  return std::strcmp(state.mapping, "standard") == 0 && state.numButtons >= 16;
}

// The standard mapping's direction pad (buttons 12 up, 13 down, 14 left, 15 right) as
// DirectInput's point-of-view hat: hundredths of a degree clockwise from forward.
std::int32_t PadDirection(const EmscriptenGamepadEvent& state) {
  const int vertical = (ButtonHeld(state, 13) ? 1 : 0) - (ButtonHeld(state, 12) ? 1 : 0);
  const int horizontal = (ButtonHeld(state, 15) ? 1 : 0) - (ButtonHeld(state, 14) ? 1 : 0);
  if (vertical == 0 && horizontal == 0)
    return -1;
  constexpr std::int32_t kDirections[3][3] = {
      {31500, 0, 4500}, {27000, -1, 9000}, {22500, 18000, 13500}};  // [vertical][horizontal]
  return kDirections[vertical + 1][horizontal + 1];
}

// The page's clock, animation frames and timers.
class PageTime : public web::BrowserTime {
 public:
  double NowMs() override { return web::page::NowMs(); }
  double NextAnimationFrame(double timeout_ms) override {
    return web::page::NextAnimationFrame(timeout_ms);
  }
  void Sleep(double ms) override { web::page::Sleep(ms); }
};

}  // namespace

WebHost::WebHost() {
  page_ready_ = web::page::Start();
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, this, EM_TRUE, OnKeyEvent);
  emscripten_set_keyup_callback(window, this, EM_TRUE, OnKeyEvent);
  // Not capturing: the page's own elements (the full-screen button) take and lose the
  // focus too, and those events would pass the window on their way.
  emscripten_set_focus_callback(window, this, EM_FALSE, OnFocusEvent);
  emscripten_set_blur_callback(window, this, EM_FALSE, OnFocusEvent);
  emscripten_set_visibilitychange_callback(this, EM_TRUE, OnVisibilityEvent);
  if (page_ready_)
    emscripten_set_mousemove_callback("#screen", this, EM_TRUE, OnMouseEvent);
  emscripten_set_gamepadconnected_callback(this, EM_TRUE, OnGamepadEvent);
  emscripten_set_gamepaddisconnected_callback(this, EM_TRUE, OnGamepadEvent);
  Yielded();
}

WebHost::~WebHost() {
  emscripten_html5_remove_all_event_listeners();
}

std::uint64_t WebHost::NowMicroseconds() {
  return static_cast<std::uint64_t>(web::page::NowMs() * 1000.0);
}

void WebHost::SleepMicroseconds(std::uint64_t duration) {
  PageTime time;
  refresh_.Sleep(time, static_cast<double>(duration) / 1000.0,
                 page_ready_ && state_ != State::kMinimized && web::page::Visible());
  Yielded();
}

void WebHost::DebugOutput(std::string_view text) {
  // The console takes whole lines.
  for (const char c : text) {
    if (c == '\n') {
      web::page::Console(debug_line_);
      debug_line_.clear();
    } else {
      debug_line_ += c;
    }
  }
}

void WebHost::ShowMessageBox(std::string_view text, std::string_view caption) {
  web::page::ShowMessageBox(std::string(text), std::string(caption));
  Yielded();
}

void WebHost::OpenWindow(std::string_view title, int width, int height) {
  window_open_ = true;
  web::page::SetTitle(std::string(title));
  if (page_ready_)
    web::page::SetCanvasSize(width, height);
  picture_.Invalidate();
  // A new window starts active, as after Windows showed and focused it; the page may
  // already be in the background.
  state_ = State::kActive;
  if (!web::page::Visible()) {
    ChangeState(State::kMinimized);
  } else if (!web::page::Focused()) {
    ChangeState(State::kInactive);
  }
}

void WebHost::CloseWindow() {
  if (window_open_ && page_ready_)
    web::page::SetCanvasSize(0, 0);
  window_open_ = false;
  exclusive_ = false;
  events_.clear();
}

void WebHost::SetPointerVisible(bool visible) {
  if (page_ready_)
    web::page::SetPointerVisible(visible);
}

bool WebHost::DisplayAvailable() {
  return page_ready_;
}

void WebHost::SetExclusiveMode(bool exclusive, int width, int height) {
  exclusive_ = exclusive;
  if (exclusive) {
    mode_width_ = width;
    mode_height_ = height;
  }
  picture_.Invalidate();
  if (window_open_ && page_ready_)
    web::page::SetCanvasSize(exclusive ? width : 0, exclusive ? height : 0);
}

void WebHost::Present(const PresentedFrame& frame) {
  // A hidden page shows nothing; the platform learns of it at its next look at the events.
  if (!window_open_ || !page_ready_ || state_ == State::kMinimized)
    return;
  const double start = web::page::NowMs();
  const std::span<const web::Area> areas = picture_.Update(frame);
  if (!areas.empty())
    web::page::Draw(picture_, areas);
  const double shown = web::page::NowMs();
  web::page::NoteFrame(shown, shown - start);
}

bool WebHost::KeepsDisplayWhenInactive() {
  // The page shows the display as a window does: another window's focus leaves it there.
  return exclusive_;
}

bool WebHost::PollEvent(HostEvent& event) {
  YieldIfBusy();
  if (events_.empty())
    return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

void WebHost::WaitForEvent() {
  if (events_.empty())
    web::page::WaitForWake(kEventWaitMs);
  Yielded();
}

void WebHost::ReadKeyboard(std::array<std::uint8_t, 256>& keys) {
  keys = keys_;
}

bool WebHost::SampleGamepads() {
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS)
    return false;
  const int count = std::max(0, emscripten_get_num_gamepads());
  if (static_cast<int>(gamepads_.size()) < count)
    gamepads_.resize(count);
  for (int index = 0; index < static_cast<int>(gamepads_.size()); ++index) {
    EmscriptenGamepadEvent state{};
    const bool connected =
        index < count &&
        emscripten_get_gamepad_status(index, &state) == EMSCRIPTEN_RESULT_SUCCESS &&
        state.connected != 0;
    Gamepad& pad = gamepads_[index];
    if (connected && !pad.connected) {
      // Plugged in (again): a new device.
      pad.instance_id = next_gamepad_id_++;
      pad.name = state.id;
    }
    pad.connected = connected;
  }
  return true;
}

std::vector<JoystickInfo> WebHost::Joysticks() {
  std::vector<JoystickInfo> joysticks;
  if (!SampleGamepads())
    return joysticks;
  for (int index = 0; index < static_cast<int>(gamepads_.size()); ++index) {
    EmscriptenGamepadEvent state{};
    if (!gamepads_[index].connected ||
        emscripten_get_gamepad_status(index, &state) != EMSCRIPTEN_RESULT_SUCCESS) {
      continue;
    }
    JoystickInfo info;
    info.instance_id = gamepads_[index].instance_id;
    info.name = gamepads_[index].name.empty() ? "Gamepad" : gamepads_[index].name;
    info.axis_count = std::min(state.numAxes, JoystickReading::kAxes);
    info.button_count = std::min(state.numButtons, JoystickReading::kButtons);
    info.hat_count = StandardMapping(state) ? 1 : 0;
    joysticks.push_back(std::move(info));
  }
  return joysticks;
}

bool WebHost::ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) {
  if (!SampleGamepads())
    return false;
  for (int index = 0; index < static_cast<int>(gamepads_.size()); ++index) {
    const Gamepad& pad = gamepads_[index];
    if (!pad.connected || pad.instance_id != instance_id)
      continue;
    EmscriptenGamepadEvent state{};
    if (emscripten_get_gamepad_status(index, &state) != EMSCRIPTEN_RESULT_SUCCESS)
      return false;
    reading = JoystickReading();
    const int axes = std::min(state.numAxes, JoystickReading::kAxes);
    for (int axis = 0; axis < axes; ++axis)
      reading.axes[axis] = AxisValue(state.axis[axis]);
    const int buttons = std::min(state.numButtons, JoystickReading::kButtons);
    for (int button = 0; button < buttons; ++button)
      reading.buttons[button] = ButtonHeld(state, button);
    if (StandardMapping(state))
      reading.hats[0] = PadDirection(state);
    return true;
  }
  return false;
}

void WebHost::ShowEnded(int exit_code) {
  web::page::ShowEnded(exit_code);
}

void WebHost::OnKey(const char* code, bool down, bool repeat, bool alt) {
  const std::uint8_t key = keys::DikFromCode(code);
  if (key != 0)
    keys_[key] = down ? 0x80 : 0;
  if (down && !repeat && alt && IsEnter(code))
    web::page::ToggleFullScreen();
  if (down)
    web::page::Wake();
}

void WebHost::OnVisibilityChanged(bool visible) {
  if (!visible) {
    // Keys let go while the page is hidden would never be seen released.
    keys_.fill(0);
    ChangeState(State::kMinimized);
    return;
  }
  picture_.Invalidate();
  ChangeState(web::page::Focused() ? State::kActive : State::kInactive);
}

void WebHost::OnFocusChanged(bool focused) {
  if (state_ == State::kMinimized)
    return;
  if (!focused)
    keys_.fill(0);
  ChangeState(focused ? State::kActive : State::kInactive);
}

void WebHost::OnPointerMoved() {
  if (events_.empty() || events_.back().type != HostEventType::kPointerMoved)
    Queue(HostEvent{HostEventType::kPointerMoved, false});
}

void WebHost::OnGamepadsChanged() {
  SampleGamepads();
  web::page::Wake();
}

void WebHost::ChangeState(State state) {
  if (state == state_)
    return;
  state_ = state;
  if (state == State::kActive) {
    Queue(HostEvent{HostEventType::kFocusGained, false});
  } else {
    Queue(HostEvent{HostEventType::kFocusLost, state == State::kMinimized});
  }
}

void WebHost::Queue(const HostEvent& event) {
  events_.push_back(event);
  web::page::Wake();
}

void WebHost::YieldIfBusy() {
  const bool minimized = state_ == State::kMinimized;
  const double now = web::page::NowMs();
  if (now - last_yield_ms_ < (minimized ? kLongestMinimizedRunMs : kLongestRunMs))
    return;
  if (minimized && events_.empty()) {
    web::page::WaitForWake(kMinimizedWaitMs);
  } else {
    web::page::Sleep(0);
  }
  Yielded();
}

void WebHost::Yielded() {
  last_yield_ms_ = web::page::NowMs();
}

}  // namespace orv::platform
