// MessageBoxA with its owner's deactivation, the cursor, and stock icons and cursors.
#include "core/foreground.h"
#include "recording_window.h"

namespace orv::platform::testing {
namespace {

using MessageBoxAndCursorTest = RecordingWindowTest;

TEST_F(MessageBoxAndCursorTest, OwnerIsInactiveWhileTheBoxIsUp) {
  HWND window = CreateActive();
  std::size_t messages_before_box = 0;
  HWND foreground_during_box = window;
  host.OnMessageBox([&](HeadlessHost&) {
    messages_before_box = seen.size();
    foreground_during_box = Foreground().window;
  });

  EXPECT_EQ(MessageBoxA(window, "SetDisplayMode FAILED", "FullScreen Orvendal", MB_OK), IDOK);

  ASSERT_EQ(host.message_boxes().size(), 1u);
  EXPECT_EQ(host.message_boxes()[0].text, "SetDisplayMode FAILED");
  EXPECT_EQ(host.message_boxes()[0].caption, "FullScreen Orvendal");
  EXPECT_EQ(seen, (std::vector<SeenMessage>{{WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0},
                                            {WM_KILLFOCUS, 0, 0},
                                            {WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0},
                                            {WM_SETFOCUS, 0, 0}}));
  EXPECT_EQ(messages_before_box, 2u);
  EXPECT_EQ(foreground_during_box, nullptr);
  EXPECT_EQ(Foreground().window, window);
}

TEST_F(MessageBoxAndCursorTest, OwnerDestroyedDuringTheBoxIsNotReactivated) {
  HWND window = CreateActive();
  host.OnMessageBox([window](HeadlessHost&) { DestroyWindow(window); });
  EXPECT_EQ(MessageBoxA(window, "text", "caption", MB_OK), IDOK);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(Foreground().window, nullptr);
}

TEST_F(MessageBoxAndCursorTest, BoxWithoutOwnerOrCaptionAndWithABadOwner) {
  EXPECT_EQ(MessageBoxA(nullptr, "text", nullptr, MB_OK), IDOK);
  ASSERT_EQ(host.message_boxes().size(), 1u);
  EXPECT_EQ(host.message_boxes()[0].caption, "Error");

  EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x1234), "text", "caption", MB_OK), 0);
  EXPECT_EQ(host.message_boxes().size(), 1u);
}

TEST_F(MessageBoxAndCursorTest, SetCursorHidesAndShowsThePointer) {
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_EQ(SetCursor(nullptr), arrow);  // the arrow is up at start-up
  EXPECT_FALSE(host.pointer_visible());
  EXPECT_EQ(SetCursor(nullptr), nullptr);
  EXPECT_FALSE(host.pointer_visible());
  EXPECT_EQ(SetCursor(arrow), nullptr);
  EXPECT_TRUE(host.pointer_visible());
}

TEST_F(MessageBoxAndCursorTest, StockIconsAndCursorsLoadAndOthersDoNot) {
  struct Case {
    HICON (*load)(HINSTANCE, LPCSTR);
    HINSTANCE instance;
    LPCSTR name;
    bool found;
  };
  const HINSTANCE module = reinterpret_cast<HINSTANCE>(0x400000);
  const Case cases[] = {
      {&LoadIconA, nullptr, IDI_APPLICATION, true},
      {&LoadIconA, nullptr, IDI_ERROR, true},
      {&LoadIconA, nullptr, MAKEINTRESOURCEA(32650), false},
      {&LoadIconA, nullptr, MAKEINTRESOURCEA(1), false},
      {&LoadIconA, nullptr, "APPLICATION", false},
      {&LoadIconA, module, IDI_APPLICATION, false},
      {&LoadCursorA, nullptr, IDC_ARROW, true},
      {&LoadCursorA, nullptr, IDC_APPSTARTING, true},
      {&LoadCursorA, nullptr, MAKEINTRESOURCEA(32647), false},
      {&LoadCursorA, nullptr, MAKEINTRESOURCEA(0), false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(reinterpret_cast<std::uintptr_t>(test.name));
    EXPECT_EQ(test.load(test.instance, test.name) != nullptr, test.found);
  }
  // Icon and cursor 32512 are different resources.
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace
}  // namespace orv::platform::testing
