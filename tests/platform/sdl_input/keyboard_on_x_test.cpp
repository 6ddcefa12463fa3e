// Keys pressed on a real X server (run by run_on_xvfb.sh) reach the keyboard state, and
// make the message loop ask SDL for events.
#include <SDL.h>

#include <array>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "hosts/sdl/event_news.h"
#include "hosts/sdl/sdl_host.h"
#include "hosts/sdl/sdl_input.h"
#include "win/dinput.h"

namespace {

using Keys = std::array<std::uint8_t, 256>;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

class KeyboardOnXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr)
      GTEST_SKIP() << "needs an X display";
  }
  void TearDown() override {
    if (window != nullptr)
      SDL_DestroyWindow(window);
    SDL_Quit();
  }

  // A window with the keyboard focus.
  void OpenWindow() {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    window = SDL_CreateWindow("Orvendal keys", 0, 0, 320, 240, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    for (int tries = 0; tries < 300 && SDL_GetKeyboardFocus() != window; ++tries) {
      SDL_RaiseWindow(window);
      SDL_SetWindowInputFocus(window);
      SDL_PumpEvents();
      SDL_Delay(10);
    }
    ASSERT_EQ(SDL_GetKeyboardFocus(), window) << "the window never took the keyboard focus";
  }

  // The keyboard state once `key` reads as `held`, or after three seconds.
  Keys WaitFor(std::uint8_t key, bool held) {
    Keys keys{};
    for (int tries = 0; tries < 300; ++tries) {
      SDL_PumpEvents();
      orv::platform::sdl::ReadKeyboardState(keys);
      if ((keys[key] == 0x80) == held)
        break;
      SDL_Delay(10);
    }
    return keys;
  }

  SDL_Window* window = nullptr;
};

TEST_F(KeyboardOnXTest, AHeldArrowKeyReadsAsHeldUntilReleased) {
  OpenWindow();
  ASSERT_EQ(Shell("xdotool keydown Right"), 0);
  Keys keys = WaitFor(DIK_RIGHT, true);
  EXPECT_EQ(keys[DIK_RIGHT], 0x80);
  EXPECT_EQ(keys[DIK_LEFT], 0);
  ASSERT_EQ(Shell("xdotool keyup Right"), 0);
  EXPECT_EQ(WaitFor(DIK_RIGHT, false)[DIK_RIGHT], 0);
}

// Once SDL's events are read, it is asked again when the X server sends one, or when the
// quiet time is over; never on a display it does not watch.
TEST_F(KeyboardOnXTest, SdlIsAskedForEventsWhenTheServerSendsOneOrAfterTheQuietTime) {
  using orv::platform::sdl::EventNews;
  OpenWindow();
  EventNews unwatched;
  EXPECT_TRUE(unwatched.MayHaveEvents(1));

  EventNews news;
  news.Watch(window);
  const std::uint64_t read_at = 1'000'000;
  // Whatever the window's opening still brings is read first.
  for (int quiet_looks = 0, tries = 0; quiet_looks < 5 && tries < 300; ++tries) {
    SDL_Event event;
    bool any = false;
    while (SDL_PollEvent(&event) != 0)
      any = true;
    quiet_looks = any ? 0 : quiet_looks + 1;
    SDL_Delay(10);
  }
  news.AllRead(read_at);
  EXPECT_FALSE(news.MayHaveEvents(read_at + 1)) << "nothing came since SDL was read";
  EXPECT_TRUE(news.MayHaveEvents(read_at + EventNews::kLongestQuietUs));

  ASSERT_EQ(Shell("xdotool keydown Up"), 0);
  bool told = false;
  for (int tries = 0; tries < 300 && !told; ++tries) {
    told = news.MayHaveEvents(read_at + 1);
    SDL_Delay(1);
  }
  EXPECT_TRUE(told) << "the key press never showed on the connection";
  ASSERT_EQ(Shell("xdotool keyup Up"), 0);
}

// The host reads SDL's events for the keyboard only when the message loop has not just
// done so; either way a key pressed is seen.
TEST(KeyboardThroughHostOnXTest, KeysAreSeenWithAndWithoutTheMessageLoopBetweenReads) {
  if (std::getenv("DISPLAY") == nullptr)
    GTEST_SKIP() << "needs an X display";
  orv::platform::SdlHost host(orv::platform::SdlHostOptions{});
  host.OpenWindow("Orvendal host keys", 320, 240);
  ASSERT_NE(host.window(), nullptr);
  orv::platform::HostEvent event;
  for (int tries = 0; tries < 300 && SDL_GetKeyboardFocus() != host.window(); ++tries) {
    SDL_SetWindowInputFocus(host.window());
    while (host.PollEvent(event)) {
    }
    SDL_Delay(10);
  }
  ASSERT_EQ(SDL_GetKeyboardFocus(), host.window()) << "the window never took the keyboard focus";

  for (const bool message_loop : {false, true}) {
    SCOPED_TRACE(message_loop ? "with the message loop" : "keyboard reads alone");
    const auto wait_for = [&](bool held) {
      Keys keys{};
      for (int tries = 0; tries < 300; ++tries) {
        if (message_loop) {
          while (host.PollEvent(event)) {
          }
        }
        host.ReadKeyboard(keys);
        if ((keys[DIK_UP] == 0x80) == held)
          break;
        SDL_Delay(10);
      }
      return keys[DIK_UP];
    };
    ASSERT_EQ(Shell("xdotool keydown Up"), 0);
    EXPECT_EQ(wait_for(true), 0x80);
    ASSERT_EQ(Shell("xdotool keyup Up"), 0);
    EXPECT_EQ(wait_for(false), 0);
  }
}

}  // namespace
