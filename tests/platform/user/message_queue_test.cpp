// Posting, peeking, getting and dispatching; the quit message.
#include "recording_window.h"

namespace orv::platform::testing {
namespace {

using MessageQueueTest = RecordingWindowTest;

TEST_F(MessageQueueTest, PostedMessagesArriveInOrderAndReachTheProcedureOnDispatch) {
  HWND window = Create();
  seen.clear();
  ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 1, 10));
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 2, 2, 20));
  ASSERT_TRUE(PostMessageA(window, WM_USER + 3, 3, 30));
  EXPECT_TRUE(seen.empty());  // posting sends nothing

  const std::vector<std::pair<HWND, UINT>> expected = {
      {window, WM_USER + 1}, {nullptr, WM_USER + 2}, {window, WM_USER + 3}};
  for (const auto& [hwnd, message] : expected) {
    MSG msg{};
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.message, message);
    EXPECT_EQ(msg.wParam, message - WM_USER);
    EXPECT_FALSE(TranslateMessage(&msg));
    DispatchMessageA(&msg);
  }
  // The thread message has no window to go to.
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_USER + 1, 1, 10}, {WM_USER + 3, 3, 30}}));
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, PostingToAWindowThatIsNotThereFails) {
  HWND window = Create();
  DestroyWindow(window);
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  host.diagnostics().InjectFault("PostMessageA", E_FAIL);
  EXPECT_FALSE(PostMessageA(nullptr, WM_USER, 0, 0));
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitComesAfterEveryPostedMessageAndCarriesItsCode) {
  for (int code : {0, 7, -1}) {
    SCOPED_TRACE(code);
    PostMessageA(nullptr, WM_USER, 0, 0);
    PostQuitMessage(code);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);

    MSG msg{};
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(static_cast<int>(msg.wParam), code);
    // Taken once.
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  }
}

TEST_F(MessageQueueTest, PeekWithoutRemovingLeavesTheMessage) {
  PostMessageA(nullptr, WM_USER, 5, 0);
  MSG msg{};
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  }
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));

  // The quit message too: peeking leaves it for GetMessageA.
  PostQuitMessage(3);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueueTest, FiltersSelectByWindowAndRange) {
  HWND window = Create();
  PostMessageA(window, WM_USER, 0, 0);
  PostMessageA(nullptr, WM_USER + 5, 0, 0);
  const HWND thread_only = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, thread_only, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 9, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 6, WM_USER + 9, PM_NOREMOVE));
  EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
}

TEST_F(MessageQueueTest, GetMessageWaitsForTheHostUntilSomethingArrives) {
  HWND window = Create();
  host.At(5000, [window](HeadlessHost&) { PostMessageA(window, WM_USER, 9, 0); });
  MSG msg{};
  ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(msg.time, 5u);  // milliseconds of the host's clock when posted
  EXPECT_GE(host.NowMicroseconds(), 5000u);

  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

// WaitMessage sleeps on the host, on its virtual clock here, until a message is posted
// or a window event (which sends its messages at once) has been handled.
TEST_F(MessageQueueTest, WaitMessageReturnsOnAPostedMessageOrAWindowEvent) {
  HWND window = Create();
  host.At(7000, [window](HeadlessHost&) { PostMessageA(window, WM_USER, 0, 0); });
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(host.NowMicroseconds() / 1000, 7u);
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

  seen.clear();
  host.At(20000, [](HeadlessHost& h) { h.LoseFocus(true); });
  EXPECT_TRUE(WaitMessage());
  EXPECT_GE(host.NowMicroseconds(), 20000u);
  EXPECT_FALSE(seen.empty()) << "the deactivation was sent during the wait";
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));

  // A message already waiting: no wait at all.
  PostQuitMessage(0);
  const std::uint64_t before = host.NowMicroseconds();
  EXPECT_TRUE(WaitMessage());
  EXPECT_LT(host.NowMicroseconds() - before, 1000u);
}

// On the headless host a wait that nothing scripted could ever end is a test's mistake.
TEST_F(MessageQueueTest, WaitingWhenNothingCanArriveEndsTheHeadlessRunLoudly) {
  Create();
  EXPECT_DEATH(WaitMessage(), "waiting for an event that nothing will send");
}

TEST_F(MessageQueueTest, DispatchReturnsTheProceduresAnswer) {
  HWND window = Create();
  seen.clear();
  reaction = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_USER)
      return 1234;
    return std::nullopt;
  };
  const MSG to_window{window, WM_USER, 0, 0, 0, {0, 0}};
  const MSG to_thread{nullptr, WM_USER, 0, 0, 0, {0, 0}};
  EXPECT_EQ(DispatchMessageA(&to_window), 1234);
  EXPECT_EQ(DispatchMessageA(&to_thread), 0);
  EXPECT_EQ(DispatchMessageA(nullptr), 0);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(MessageQueueTest, TranslateMessageOnlyAcknowledgesKeyMessages) {
  for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
    const MSG msg{nullptr, message, 0, 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&msg)) << message;
  }
  const MSG other{nullptr, WM_CLOSE, 0, 0, 0, {0, 0}};
  EXPECT_FALSE(TranslateMessage(&other));
  EXPECT_FALSE(TranslateMessage(nullptr));
}

// The program's shut-down path: a posted close destroys the window, whose WM_DESTROY
// posts the quit message that ends the loop.
TEST_F(MessageQueueTest, PostedCloseEndsTheMessageLoopThroughDestroyAndQuit) {
  HWND window = CreateActive();
  reaction = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return std::nullopt;
  };
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));

  MSG msg{};
  int dispatched = 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++dispatched;
  }
  EXPECT_EQ(dispatched, 1);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Messages(),
            (std::vector<UINT>{WM_CLOSE, WM_ACTIVATE, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY}));
}

}  // namespace
}  // namespace orv::platform::testing
