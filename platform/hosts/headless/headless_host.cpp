#include "hosts/headless/headless_host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/reset.h"

namespace orv::platform {

std::uint32_t CapturedFrame::RgbAt(int x, int y) const {
  const PALETTEENTRY& entry = palette[IndexAt(x, y)];
  return (std::uint32_t{entry.peRed} << 16) | (std::uint32_t{entry.peGreen} << 8) | entry.peBlue;
}

std::vector<std::uint32_t> CapturedFrame::Rgb() const {
  std::vector<std::uint32_t> rgb;
  rgb.reserve(indices.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      rgb.push_back(RgbAt(x, y));
  }
  return rgb;
}

HeadlessHost::HeadlessHost() {
  InstallHost(this);
  Reset();
}

HeadlessHost::~HeadlessHost() {
  Reset();
  InstallHost(nullptr);
}

void HeadlessHost::Reset() {
  // Services first: releasing their objects may still talk to the host.
  ResetAllServices();
  Diag() = Diagnostics();

  now_us_ = 0;
  total_slept_us_ = 0;
  clock_read_cost_us_ = 0;
  schedule_.clear();
  events_.clear();
  keys_.fill(0);
  joysticks_.clear();
  next_joystick_id_ = 1;
  debug_lines_.clear();
  message_boxes_.clear();
  last_frame_ = CapturedFrame();
  presented_count_ = 0;
  present_callback_ = nullptr;
  message_box_callback_ = nullptr;
  display_available_ = true;
  keeps_display_when_inactive_ = false;
  window_open_ = false;
  window_title_.clear();
  pointer_visible_ = true;
  exclusive_ = false;
}

void HeadlessHost::AdvanceMilliseconds(std::uint64_t ms) {
  now_us_ += ms * 1000;
  RunDueActions();
}

void HeadlessHost::At(std::uint64_t at_us, std::function<void(HeadlessHost&)> action) {
  schedule_.emplace(at_us, std::move(action));
}

void HeadlessHost::RunDueActions() {
  if (running_actions_)
    return;
  running_actions_ = true;
  while (!schedule_.empty() && schedule_.begin()->first <= now_us_) {
    auto action = std::move(schedule_.begin()->second);
    schedule_.erase(schedule_.begin());
    action(*this);
  }
  running_actions_ = false;
}

void HeadlessHost::MovePointer() {
  events_.push_back({HostEventType::kPointerMoved, false});
}
void HeadlessHost::LoseFocus(bool minimized) {
  events_.push_back({HostEventType::kFocusLost, minimized});
}
void HeadlessHost::GainFocus() {
  events_.push_back({HostEventType::kFocusGained, false});
}
void HeadlessHost::RequestClose() {
  events_.push_back({HostEventType::kCloseRequested, false});
}

std::uint32_t HeadlessHost::AttachJoystick(std::string name, int axes, int buttons, int hats) {
  Joystick joystick;
  joystick.info.instance_id = next_joystick_id_++;
  joystick.info.name = std::move(name);
  joystick.info.axis_count = std::clamp(axes, 0, JoystickReading::kAxes);
  joystick.info.button_count = std::clamp(buttons, 0, JoystickReading::kButtons);
  joystick.info.hat_count = std::clamp(hats, 0, JoystickReading::kHats);
  joysticks_.push_back(joystick);
  return joystick.info.instance_id;
}

void HeadlessHost::DetachJoystick(std::uint32_t instance_id) {
  std::erase_if(joysticks_,
                [&](const Joystick& joystick) { return joystick.info.instance_id == instance_id; });
}

void HeadlessHost::SetJoystickAxis(std::uint32_t instance_id, int axis, std::int32_t value) {
  for (auto& joystick : joysticks_) {
    if (joystick.info.instance_id == instance_id && axis >= 0 && axis < joystick.info.axis_count) {
      joystick.reading.axes[axis] = std::clamp(value, -32768, 32767);
    }
  }
}

void HeadlessHost::SetJoystickButton(std::uint32_t instance_id, int button, bool held) {
  for (auto& joystick : joysticks_) {
    if (joystick.info.instance_id == instance_id && button >= 0 &&
        button < joystick.info.button_count) {
      joystick.reading.buttons[button] = held;
    }
  }
}

void HeadlessHost::SetJoystickHat(std::uint32_t instance_id, int hat, std::int32_t value) {
  for (auto& joystick : joysticks_) {
    if (joystick.info.instance_id == instance_id && hat >= 0 && hat < joystick.info.hat_count) {
      joystick.reading.hats[hat] = value;
    }
  }
}

void HeadlessHost::SleepMicroseconds(std::uint64_t duration) {
  now_us_ += duration;
  total_slept_us_ += duration;
  RunDueActions();
}

void HeadlessHost::SleepUntilMicroseconds(std::uint64_t deadline) {
  // The virtual clock wakes exactly on time; a deadline already passed costs nothing. Goes
  // through the clock's two calls, so that a test's host that overrides them sees it.
  const std::uint64_t now = NowMicroseconds();
  if (deadline > now)
    SleepMicroseconds(deadline - now);
}

void HeadlessHost::DebugOutput(std::string_view text) {
  debug_lines_.emplace_back(text);
}

void HeadlessHost::ShowMessageBox(std::string_view text, std::string_view caption) {
  message_boxes_.push_back({std::string(text), std::string(caption)});
  if (message_box_callback_)
    message_box_callback_(*this);
}

void HeadlessHost::OpenWindow(std::string_view title, int, int) {
  window_open_ = true;
  window_title_ = std::string(title);
}

void HeadlessHost::CloseWindow() {
  window_open_ = false;
}

void HeadlessHost::SetExclusiveMode(bool exclusive, int, int) {
  exclusive_ = exclusive;
}

void HeadlessHost::Present(const PresentedFrame& frame) {
  last_frame_.width = frame.width;
  last_frame_.height = frame.height;
  last_frame_.indices.resize(static_cast<std::size_t>(frame.width) * frame.height);
  for (int y = 0; y < frame.height; ++y) {
    std::copy_n(frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch, frame.width,
                last_frame_.indices.begin() + static_cast<std::ptrdiff_t>(y) * frame.width);
  }
  std::copy_n(frame.palette, 256, last_frame_.palette.begin());
  last_frame_.time_us = now_us_;
  ++presented_count_;
  if (present_callback_)
    present_callback_(last_frame_);
}

bool HeadlessHost::PollEvent(HostEvent& event) {
  RunDueActions();
  if (events_.empty()) {
    // Looking at an empty queue takes a little time, so that a loop that only
    // peeks still lets the virtual clock reach its scripted actions.
    now_us_ += kIdlePollCostUs;
    return false;
  }
  event = events_.front();
  events_.erase(events_.begin());
  return true;
}

void HeadlessHost::WaitForEvent() {
  if (!events_.empty())
    return;
  if (schedule_.empty()) {
    std::fputs("headless host: waiting for an event that nothing will send\n", stderr);
    std::abort();
  }
  now_us_ = std::max(now_us_, schedule_.begin()->first);
  RunDueActions();
}

void HeadlessHost::ReadKeyboard(std::array<std::uint8_t, 256>& keys) {
  RunDueActions();
  keys = keys_;
}

std::vector<JoystickInfo> HeadlessHost::Joysticks() {
  RunDueActions();
  std::vector<JoystickInfo> infos;
  for (const auto& joystick : joysticks_)
    infos.push_back(joystick.info);
  return infos;
}

bool HeadlessHost::ReadJoystick(std::uint32_t instance_id, JoystickReading& reading) {
  RunDueActions();
  for (const auto& joystick : joysticks_) {
    if (joystick.info.instance_id == instance_id) {
      reading = joystick.reading;
      return true;
    }
  }
  return false;
}

}  // namespace orv::platform
