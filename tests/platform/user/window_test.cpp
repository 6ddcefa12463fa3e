// Window classes, creation and destruction, and the messages they send.
#include <cstring>

#include "core/foreground.h"
#include "recording_window.h"

namespace orv::platform::testing {
namespace {

LRESULT CALLBACK SilentProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

using WindowTest = RecordingWindowTest;

TEST_F(WindowTest, RegisterClassRefusesIncompleteAndRepeatedClasses) {
  WNDCLASSA valid{};
  valid.lpfnWndProc = &SilentProcedure;
  valid.lpszClassName = "Orvendal";
  WNDCLASSA no_name = valid;
  no_name.lpszClassName = nullptr;
  WNDCLASSA no_procedure = valid;
  no_procedure.lpfnWndProc = nullptr;

  EXPECT_EQ(RegisterClassA(nullptr), 0);
  EXPECT_EQ(RegisterClassA(&no_name), 0);
  EXPECT_EQ(RegisterClassA(&no_procedure), 0);
  EXPECT_NE(RegisterClassA(&valid), 0);

  WNDCLASSA same_name_other_case = valid;
  same_name_other_case.lpszClassName = "ORVENDAL";
  EXPECT_EQ(RegisterClassA(&valid), 0);
  EXPECT_EQ(RegisterClassA(&same_name_other_case), 0);

  EXPECT_TRUE(UnregisterClassA("Orvendal", nullptr));
  EXPECT_FALSE(UnregisterClassA("Orvendal", nullptr));
  EXPECT_NE(RegisterClassA(&valid), 0);
}

TEST_F(WindowTest, ClassWithAWindowCannotBeUnregistered) {
  HWND window = Create();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(UnregisterClassA(kClassName, nullptr));
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA(kClassName, nullptr));
}

TEST_F(WindowTest, CreationSendsNcCreateThenCreateWithTheCreationRecord) {
  int marker = 0;
  std::vector<std::pair<UINT, CREATESTRUCTA>> records;
  reaction = [&](HWND, UINT message, WPARAM, LPARAM lparam) -> std::optional<LRESULT> {
    if (message == WM_NCCREATE || message == WM_CREATE) {
      records.emplace_back(message, *reinterpret_cast<const CREATESTRUCTA*>(lparam));
    }
    return std::nullopt;
  };
  Register();
  HWND window =
      CreateWindowExA(WS_EX_TOPMOST, kClassName, "FullScreen Orvendal", WS_OVERLAPPEDWINDOW, 10, 20,
                      640, 480, nullptr, nullptr, nullptr, &marker);

  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  ASSERT_EQ(records.size(), 2u);
  for (const auto& [message, create] : records) {
    SCOPED_TRACE(message);
    EXPECT_EQ(create.lpCreateParams, &marker);
    EXPECT_STREQ(create.lpszClass, kClassName);
    EXPECT_STREQ(create.lpszName, "FullScreen Orvendal");
    EXPECT_EQ(create.x, 10);
    EXPECT_EQ(create.y, 20);
    EXPECT_EQ(create.cx, 640);
    EXPECT_EQ(create.cy, 480);
    EXPECT_EQ(create.dwExStyle, static_cast<DWORD>(WS_EX_TOPMOST));
  }
  EXPECT_TRUE(host.window_open());
  EXPECT_EQ(host.window_title(), "FullScreen Orvendal");
  // Created hidden: nothing is active yet.
  EXPECT_EQ(Foreground().window, nullptr);
}

TEST_F(WindowTest, UnknownClassCreatesNothing) {
  Register();
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                            nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(CreateWindowExA(0, nullptr, "x", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(host.window_open());
}

TEST_F(WindowTest, RefusedCreationEndsTheWindowAndAnswersNull) {
  struct Case {
    UINT refused;
    LRESULT answer;
    std::vector<UINT> expected;
  };
  const Case cases[] = {
      {WM_NCCREATE, FALSE, {WM_NCCREATE, WM_NCDESTROY}},
      {WM_CREATE, -1, {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.refused);
    seen.clear();
    reaction = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (message == test.refused)
        return test.answer;
      return std::nullopt;
    };
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(Messages(), test.expected);
    EXPECT_FALSE(host.window_open());
    // The refused window left nothing behind: the next creation succeeds.
    reaction = nullptr;
    HWND window = Create();
    EXPECT_NE(window, nullptr);
    DestroyWindow(window);
  }
}

TEST_F(WindowTest, VisibleStyleShowsAndActivatesAfterCreate) {
  HWND window = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Messages(),
            (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}));
  EXPECT_EQ(Foreground().window, window);
}

TEST_F(WindowTest, DestroyDeactivatesThenSendsDestroyAndNcDestroy) {
  HWND window = CreateActive();
  ASSERT_EQ(Foreground().window, window);
  BOOL valid_during_destroy = FALSE;
  reaction = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_DESTROY)
      valid_during_destroy = IsWindow(hwnd);
    return std::nullopt;
  };

  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0},
                                            {WM_KILLFOCUS, 0, 0},
                                            {WM_DESTROY, 0, 0},
                                            {WM_NCDESTROY, 0, 0}}));
  EXPECT_TRUE(valid_during_destroy);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(host.window_open());
  EXPECT_EQ(Foreground().window, nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(WindowTest, DestroyWithinDestroyAndWithinCreateIsSafe) {
  // A procedure that destroys its window again while it is being destroyed.
  HWND window = Create();
  seen.clear();
  reaction = [](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_DESTROY || message == WM_NCDESTROY)
      DestroyWindow(hwnd);
    return std::nullopt;
  };
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));

  // A procedure that destroys its window while it is being created.
  seen.clear();
  reaction = [](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_CREATE)
      DestroyWindow(hwnd);
    return std::nullopt;
  };
  EXPECT_EQ(Create(), nullptr);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(host.window_open());
}

TEST_F(WindowTest, DestroyDropsTheWindowsPostedMessagesOnly) {
  HWND window = Create();
  PostMessageA(window, WM_USER, 1, 0);
  PostMessageA(nullptr, WM_USER + 1, 2, 0);
  DestroyWindow(window);

  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, SendMessageCallsTheProcedureAtOnce) {
  HWND window = Create();
  seen.clear();
  reaction = [](HWND, UINT message, WPARAM wparam, LPARAM lparam) -> std::optional<LRESULT> {
    if (message == WM_USER)
      return static_cast<LRESULT>(wparam + lparam);
    return std::nullopt;
  };
  EXPECT_EQ(SendMessageA(window, WM_USER, 40, 2), 42);
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_USER, 40, 2}}));
  EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 1, 1), 0);
}

TEST_F(WindowTest, DefaultCloseDestroysButAHandledCloseDoesNot) {
  HWND window = Create();
  reaction = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_CLOSE)
      return 0;
    return std::nullopt;
  };
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));

  reaction = nullptr;
  seen.clear();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));

  // The system close command arrives as WM_SYSCOMMAND and becomes WM_CLOSE.
  window = Create();
  seen.clear();
  SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTest, OnlyOneTopLevelWindowAtATime) {
  HWND first = Create();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Create(), nullptr);
  DestroyWindow(first);
  HWND second = Create();
  ASSERT_NE(second, nullptr);
  // A handle of a destroyed window never becomes valid again.
  EXPECT_NE(second, first);
  EXPECT_FALSE(IsWindow(first));
}

TEST_F(WindowTest, FaultsMakeCallsFailWithoutEffect) {
  Register();
  host.diagnostics().InjectFault("CreateWindowExA", E_FAIL);
  EXPECT_EQ(Create(), nullptr);
  EXPECT_TRUE(seen.empty());
  HWND window = Create();
  ASSERT_NE(window, nullptr);

  host.diagnostics().InjectFault("DestroyWindow", E_FAIL);
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_TRUE(IsWindow(window));

  WNDCLASSA other{};
  other.lpfnWndProc = &SilentProcedure;
  other.lpszClassName = "Other";
  host.diagnostics().InjectFault("RegisterClassA", E_FAIL);
  EXPECT_EQ(RegisterClassA(&other), 0);
  EXPECT_NE(RegisterClassA(&other), 0);
}

TEST_F(WindowTest, CallsAreJournalledWithTheirMainArguments) {
  host.diagnostics().SetJournalEnabled(true);
  HWND window = Create();
  PostMessageA(window, WM_CLOSE, 0, 0);

  auto arguments_of = [&](const std::string& operation) -> std::string {
    for (const auto& entry : host.diagnostics().journal()) {
      if (entry.operation == operation)
        return entry.arguments;
    }
    return "(not journalled)";
  };
  EXPECT_EQ(arguments_of("RegisterClassA"), "\"Recorder\"");
  EXPECT_EQ(arguments_of("CreateWindowExA").substr(0, 33), "0x0008, \"Recorder\", \"Test window\"");
  EXPECT_EQ(arguments_of("PostMessageA").substr(arguments_of("PostMessageA").find(',')),
            ", 0x0010, 0, 0");
  EXPECT_EQ(host.diagnostics().JournalOperations().back(), "PostMessageA");
}

}  // namespace
}  // namespace orv::platform::testing
