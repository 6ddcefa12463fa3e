#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace {

constexpr std::uint64_t kMs = 1000;

class MessageLoopTest : public GameTest {
 protected:
  int RunWinMain() {
    char command_line[] = "";
    return WinMain(GetModuleHandleA(NULL), NULL, command_line, SW_SHOWDEFAULT);
  }
  std::ptrdiff_t FirstIndexOf(const std::vector<std::string>& operations, const char* name) {
    return std::find(operations.begin(), operations.end(), name) - operations.begin();
  }
};

TEST_F(MessageLoopTest, CloseEndsWithCodeZeroAfterReleasingDisplayThenInput) {
  host.diagnostics().SetJournalEnabled(true);
  host.At(300 * kMs, [](auto& h) { h.RequestClose(); });
  EXPECT_EQ(RunWinMain(), 0);
  EXPECT_GT(host.presented_count(), 0);
  const auto operations = orv::platform::Diag().JournalOperations();
  const auto display_released = FirstIndexOf(operations, "IDirectDraw7::Release");
  const auto input_released = FirstIndexOf(operations, "IDirectInput7A::Release");
  ASSERT_LT(display_released, static_cast<std::ptrdiff_t>(operations.size()));
  ASSERT_LT(input_released, static_cast<std::ptrdiff_t>(operations.size()));
  EXPECT_LT(display_released, input_released);
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
  EXPECT_TRUE(host.message_boxes().empty());
}

TEST_F(MessageLoopTest, NoFrameRunsInAnIterationThatDispatchedAMessage) {
  host.diagnostics().SetJournalEnabled(true);
  host.At(100 * kMs, [](auto&) {
    for (int i = 0; i < 5; ++i)
      PostMessageA(NULL, WM_USER, 0, 0);
  });
  host.At(200 * kMs, [](auto& h) { h.RequestClose(); });
  ASSERT_EQ(RunWinMain(), 0);
  const auto operations = orv::platform::Diag().JournalOperations();
  int dispatched = 0;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    if (operations[i] != "DispatchMessageA")
      continue;
    ++dispatched;
    // The loop's next step after a dispatch is a new look at the queue, never a frame.
    auto next = std::find_if(operations.begin() + i + 1, operations.end(), [](const auto& op) {
      return op == "PeekMessageA" || op == "GetTickCount";
    });
    if (next != operations.end()) {
      EXPECT_EQ(*next, "PeekMessageA") << "after call " << i;
    }
  }
  EXPECT_GE(dispatched, 6);  // five posted messages and the close request
}

TEST_F(MessageLoopTest, MinimisedWindowRunsNoFramesAndComesBackWhole) {
  std::vector<std::uint64_t> frame_times;
  std::vector<std::uint8_t> before_pause;
  host.OnPresent([&](const orv::platform::CapturedFrame& frame) {
    frame_times.push_back(frame.time_us);
    if (frame.time_us < 300 * kMs)
      before_pause = frame.indices;
  });
  host.At(300 * kMs, [](auto& h) { h.LoseFocus(true); });
  host.At(1300 * kMs, [](auto& h) { h.GainFocus(); });
  host.At(1600 * kMs, [](auto& h) { h.RequestClose(); });
  ASSERT_EQ(RunWinMain(), 0);

  const auto paused = std::count_if(frame_times.begin(), frame_times.end(),
                                    [](auto t) { return t > 310 * kMs && t < 1300 * kMs; });
  EXPECT_EQ(paused, 0);
  ASSERT_FALSE(frame_times.empty());
  EXPECT_GT(frame_times.back(), 1300 * kMs);
  // Below the frame-rate text, the menu after the pause is the menu before it.
  const auto& after = host.last_frame().indices;
  ASSERT_EQ(after.size(), before_pause.size());
  EXPECT_TRUE(std::equal(after.begin() + 640 * 16, after.end(), before_pause.begin() + 640 * 16));
}

// While minimised the loop waits for messages instead of looking at the queue again and
// again: on the headless host the wait moves the virtual clock straight to the restore.
TEST_F(MessageLoopTest, MinimisedWindowWaitsForTheNextMessage) {
  host.diagnostics().SetJournalEnabled(true);
  host.At(300 * kMs, [](auto& h) { h.LoseFocus(true); });
  host.At(60'000 * kMs, [](auto& h) { h.GainFocus(); });
  host.At(60'300 * kMs, [](auto& h) { h.RequestClose(); });
  ASSERT_EQ(RunWinMain(), 0);
  const auto operations = orv::platform::Diag().JournalOperations();
  const auto peeks = std::count(operations.begin(), operations.end(), "PeekMessageA");
  const auto waits = std::count(operations.begin(), operations.end(), "WaitMessage");
  EXPECT_GE(waits, 1);
  // About 36 frames before and after the pause, each after a look at the queue; a minute
  // of peeking every 20 us would have made millions.
  EXPECT_LT(peeks, 1000);
}

TEST_F(MessageLoopTest, AFailingMessageQueueEndsTheLoopWithCodeOne) {
  host.At(100 * kMs, [](auto& h) {
    PostMessageA(NULL, WM_USER, 0, 0);
    h.diagnostics().InjectFault("GetMessageA", 0);
  });
  EXPECT_EQ(RunWinMain(), 1);
  EXPECT_EQ(Game.InputObject, nullptr) << "the input devices are released";
}

struct StartupFailureCase {
  const char* name;
  const char* operation;
  HRESULT result;
  std::size_t message_boxes;
};

TEST_F(MessageLoopTest, StartupFailuresEndWithCodeOneAndNoFrame) {
  const StartupFailureCase cases[] = {
      {"window class", "RegisterClassA", 0, 0},
      {"window", "CreateWindowExA", 0, 0},
      {"display mode", "IDirectDraw7::SetDisplayMode", DDERR_GENERIC, 1},
      {"input system", "DirectInputCreateEx", DIERR_GENERIC, 0},
      {"keyboard", "IDirectInput7A::CreateDeviceEx", DIERR_GENERIC, 0},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    host.Reset();
    Game = InitialGameGlobals();
    host.diagnostics().InjectFault(test.operation, test.result);
    EXPECT_EQ(RunWinMain(), 1);
    ASSERT_EQ(host.message_boxes().size(), test.message_boxes);
    if (test.message_boxes == 1) {
      EXPECT_EQ(host.message_boxes().front().text, "SetDisplayMode FAILED");
      EXPECT_EQ(host.message_boxes().front().caption, "FullScreen Orvendal");
    }
    EXPECT_EQ(host.presented_count(), 0);
  }
}

}  // namespace
