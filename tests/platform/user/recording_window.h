// A test window whose procedure records every message it is sent, in order.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "hosts/headless/headless_host.h"
#include "platform.h"
#include "platform_fixture/shown_window.h"

namespace orv::platform::testing {

struct SeenMessage {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  bool operator==(const SeenMessage&) const = default;
};
void PrintTo(const SeenMessage& seen, std::ostream* out);

// What the procedure does with a message; nullopt leaves it to DefWindowProcA.
using Reaction = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

class RecordingWindowTest : public ::testing::Test {
 protected:
  static constexpr char kClassName[] = "Recorder";

  void TearDown() override;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // Registers the recording class (once per test).
  void Register();
  // Registers and creates a window; the messages of creation stay recorded.
  HWND Create(DWORD style = WS_OVERLAPPEDWINDOW);
  // Creates, shows and focuses a window as a program does, then forgets those messages.
  HWND CreateActive();

  std::vector<UINT> Messages() const;

  HeadlessHost host;
  static inline std::vector<SeenMessage> seen;
  static inline Reaction reaction;
  bool registered_ = false;
};

}  // namespace orv::platform::testing
