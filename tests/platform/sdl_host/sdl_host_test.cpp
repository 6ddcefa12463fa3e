// The SDL host on SDL's display-less video drivers: what it reports about the display,
// and that a presented frame reaches the window surface where it should.
#include "hosts/sdl/sdl_host.h"

#include <gtest/gtest.h>

#include "core/reset.h"
#include "expected_picture.h"
#include "hosts/sdl/frame_placement.h"
#include "platform.h"
#include "platform_fixture/shown_window.h"
#include "platform_fixture/surface_pixels.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orv::platform {
namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnvironment {
 public:
  void Set(const char* name, const char* value) {
    Remember(name);
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  void Remember(const char* name) {
    if (saved_.count(name) != 0)
      return;
    const char* old = std::getenv(name);
    saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

struct DisplayCase {
  const char* name;
  const char* display;
  const char* wayland_display;
  const char* video_driver;
  const char* reason;  // the one line the host writes to standard error
};

void PrintTo(const DisplayCase& c, std::ostream* out) {
  *out << c.name;
}

class DisplayAvailableTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayAvailableTest, FalseWhenNothingCanBeSeenAndSaysWhyOnce) {
  const DisplayCase& c = GetParam();
  ScopedEnvironment environment;
  environment.Set("DISPLAY", c.display);
  environment.Set("WAYLAND_DISPLAY", c.wayland_display);
  environment.Set("SDL_VIDEODRIVER", c.video_driver);
  environment.Set("XDG_RUNTIME_DIR", nullptr);
  testing::internal::CaptureStderr();
  {
    SdlHost host;
    EXPECT_FALSE(host.DisplayAvailable());
    EXPECT_FALSE(host.DisplayAvailable());
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            std::string("Orvendal cannot open a display: ") + c.reason + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DisplayAvailableTest,
    testing::Values(
        DisplayCase{"NoDisplayAtAll", nullptr, nullptr, nullptr,
                    "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        DisplayCase{"EmptyDisplay", "", "", nullptr, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        // No X server has that many displays; libwayland's complaint is the answer.
        DisplayCase{"NoServer", ":65432", "wayland-65432", nullptr,
                    "the X display ':65432' (DISPLAY) did not open; the Wayland display "
                    "'wayland-65432' (WAYLAND_DISPLAY) did not open: error: XDG_RUNTIME_DIR is "
                    "invalid or not set in the environment."},
        DisplayCase{"OffscreenDriver", ":0", nullptr, "offscreen",
                    "SDL's video driver 'offscreen' (SDL_VIDEODRIVER) shows nothing"},
        DisplayCase{"DummyDriver", nullptr, "wayland-0", "dummy",
                    "SDL's video driver 'dummy' (SDL_VIDEODRIVER) shows nothing"},
        DisplayCase{"UnknownDriver", ":0", nullptr, "nonesuch",
                    "SDL's video driver 'nonesuch' (SDL_VIDEODRIVER) did not start: nonesuch not "
                    "available"}),
    [](const testing::TestParamInfo<DisplayCase>& info) { return info.param.name; });

// A host on SDL's dummy driver, whose desktop is 1024x768.
class DummyDisplayTest : public testing::Test {
 protected:
  DummyDisplayTest() {
    environment_.Set("SDL_VIDEODRIVER", "dummy");
    environment_.Set(sdl::kPresentVariable, nullptr);
    host_.emplace();
  }

  // Reads one pixel of the window surface as 0xRRGGBB.
  std::uint32_t WindowRgb(int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(host_->window());
    const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
    Uint8 r, g, b;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], surface->format, &r, &g, &b);
    return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
  }

  ScopedEnvironment environment_;
  std::optional<SdlHost> host_;
};

// 640x480, left half index 1 and right half index 2, with a one-pixel frame of index 3.
struct TestFrame {
  std::vector<std::uint8_t> indices = std::vector<std::uint8_t>(640 * 480);
  std::vector<PALETTEENTRY> palette = std::vector<PALETTEENTRY>(256);
  TestFrame() {
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        const bool edge = x == 0 || y == 0 || x == 639 || y == 479;
        indices[y * 640 + x] = edge ? 3 : (x < 320 ? 1 : 2);
      }
    }
    palette[1] = {0x20, 0x40, 0x80, 0};
    palette[2] = {0xFF, 0x00, 0x00, 0};
    palette[3] = {0xFF, 0xFF, 0xFF, 0};
  }
  PresentedFrame View() const { return {indices.data(), 640, 480, 640, palette.data()}; }
};

TEST_F(DummyDisplayTest, WindowedFrameFillsTheWindow) {
  host_->OpenWindow("Test Window", 640, 480);
  ASSERT_NE(host_->window(), nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(host_->window()), "Test Window");
  TestFrame frame;
  host_->Present(frame.View());
  EXPECT_EQ(WindowRgb(0, 0), 0xFFFFFFu);
  EXPECT_EQ(WindowRgb(1, 1), 0x204080u);
  EXPECT_EQ(WindowRgb(320, 240), 0xFF0000u);
  EXPECT_EQ(WindowRgb(639, 479), 0xFFFFFFu);
}

TEST_F(DummyDisplayTest, ExclusiveFrameIsCentredOnBlackOverTheDesktop) {
  host_->OpenWindow("Test Window", 640, 480);
  host_->SetExclusiveMode(true, 640, 480);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(host_->window(), &width, &height);
  ASSERT_EQ(width, 1024);
  ASSERT_EQ(height, 768);
  TestFrame frame;
  host_->Present(frame.View());
  // (1024 - 640) / 2 = 192, (768 - 480) / 2 = 144.
  EXPECT_EQ(WindowRgb(191, 144), 0u);
  EXPECT_EQ(WindowRgb(192, 143), 0u);
  EXPECT_EQ(WindowRgb(192, 144), 0xFFFFFFu);
  EXPECT_EQ(WindowRgb(193, 145), 0x204080u);
  EXPECT_EQ(WindowRgb(192 + 638, 144 + 478), 0xFF0000u);
  EXPECT_EQ(WindowRgb(192 + 639, 144 + 479), 0xFFFFFFu);
  EXPECT_EQ(WindowRgb(192 + 640, 144 + 479), 0u);
  EXPECT_EQ(WindowRgb(1023, 767), 0u);

  host_->SetExclusiveMode(false, 640, 480);
  SDL_GetWindowSize(host_->window(), &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

TEST_F(DummyDisplayTest, FrameIsDrawnAgainWhenTheWindowChangesSize) {
  host_->OpenWindow("Test Window", 640, 480);
  TestFrame frame;
  host_->Present(frame.View());
  frame.indices.assign(frame.indices.size(), 0);  // the host keeps its own copy
  SDL_SetWindowSize(host_->window(), 800, 600);
  HostEvent event;
  while (host_->PollEvent(event)) {
  }
  ASSERT_EQ(SDL_GetWindowSurface(host_->window())->w, 800);
  EXPECT_EQ(WindowRgb(79, 60), 0u);
  EXPECT_EQ(WindowRgb(80, 60), 0xFFFFFFu);
  EXPECT_EQ(WindowRgb(81, 61), 0x204080u);
  EXPECT_EQ(WindowRgb(80 + 638, 60 + 478), 0xFF0000u);
  EXPECT_EQ(WindowRgb(799, 599), 0u);
}

// Black alone (a display mode set or given back) waits for the next frame, which is
// drawn whole; when no frame comes, it is drawn once the program waits for messages, or
// after a while of looking at them.
TEST_F(DummyDisplayTest, BlackWaitsForTheNextFrameButNotForever) {
  host_->OpenWindow("Test Window", 640, 480);
  TestFrame frame;
  host_->Present(frame.View());
  ASSERT_EQ(WindowRgb(1, 1), 0x204080u);

  host_->SetExclusiveMode(false, 640, 480);
  HostEvent event;
  host_->PollEvent(event);
  EXPECT_EQ(WindowRgb(1, 1), 0x204080u) << "black is not sent at once";
  host_->Present(frame.View());
  EXPECT_EQ(host_->last_present_bytes(), 640u * 480 * 4) << "the frame after it goes whole";

  host_->SetExclusiveMode(false, 640, 480);
  host_->WaitForEvent();
  EXPECT_EQ(WindowRgb(1, 1), 0u) << "drawn before waiting";

  host_->Present(frame.View());
  host_->SetExclusiveMode(false, 640, 480);
  SDL_Delay(120);
  host_->PollEvent(event);
  EXPECT_EQ(WindowRgb(1, 1), 0u) << "drawn after a while of polling";
}

// Pushes a window event for the host's window.
void PushWindowEvent(SDL_Window* window, SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = id;
  event.window.windowID = SDL_GetWindowID(window);
  SDL_PushEvent(&event);
}

TEST_F(DummyDisplayTest, LeavingExclusiveModeWhileMinimisedWaitsForTheRestore) {
  host_->OpenWindow("Test Window", 640, 480);
  host_->SetExclusiveMode(true, 640, 480);
  HostEvent event;
  while (host_->PollEvent(event)) {
  }
  PushWindowEvent(host_->window(), SDL_WINDOWEVENT_FOCUS_LOST);
  ASSERT_TRUE(host_->PollEvent(event) || host_->PollEvent(event));
  ASSERT_TRUE(event.minimized);

  host_->SetExclusiveMode(false, 640, 480);
  EXPECT_NE(SDL_GetWindowFlags(host_->window()) & SDL_WINDOW_FULLSCREEN, 0u);

  PushWindowEvent(host_->window(), SDL_WINDOWEVENT_RESTORED);
  ASSERT_TRUE(host_->PollEvent(event) || host_->PollEvent(event));
  ASSERT_EQ(event.type, HostEventType::kFocusGained);
  EXPECT_NE(SDL_GetWindowFlags(host_->window()) & SDL_WINDOW_FULLSCREEN, 0u)
      << "the platform answers the restore first";
  host_->PollEvent(event);
  EXPECT_EQ(SDL_GetWindowFlags(host_->window()) & SDL_WINDOW_FULLSCREEN, 0u);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(host_->window(), &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

TEST_F(DummyDisplayTest, EventsReachThePlatformAndWaitingKeepsThem) {
  host_->OpenWindow("Test Window", 640, 480);
  host_->SetExclusiveMode(true, 640, 480);
  HostEvent event;
  while (host_->PollEvent(event)) {
  }

  SDL_Event focus_lost{};
  focus_lost.type = SDL_WINDOWEVENT;
  focus_lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  focus_lost.window.windowID = SDL_GetWindowID(host_->window());
  SDL_PushEvent(&focus_lost);
  host_->WaitForEvent();
  ASSERT_TRUE(host_->PollEvent(event));
  EXPECT_EQ(event.type, HostEventType::kFocusLost);
  EXPECT_TRUE(event.minimized);

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  // SDL may first answer the end of the batch it pumped before the push.
  ASSERT_TRUE(host_->PollEvent(event) || host_->PollEvent(event));
  EXPECT_EQ(event.type, HostEventType::kCloseRequested);
  EXPECT_FALSE(host_->PollEvent(event));
  host_->WaitForEvent();  // nothing pending: returns after a short wait
  EXPECT_FALSE(host_->PollEvent(event));
}

// Pushes Alt+Enter for the host's window.
void PushAltEnter(SDL_Window* window) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = SDL_GetWindowID(window);
  event.key.state = SDL_PRESSED;
  event.key.keysym.scancode = SDL_SCANCODE_RETURN;
  event.key.keysym.sym = SDLK_RETURN;
  event.key.keysym.mod = KMOD_LALT;
  SDL_PushEvent(&event);
}

// Every event now pending, as the platform would take them.
std::vector<HostEvent> DrainEvents(SdlHost& host) {
  std::vector<HostEvent> events;
  HostEvent event;
  // SDL may first answer the end of the batch it pumped before a push.
  for (int empty_looks = 0; empty_looks < 2;) {
    if (host.PollEvent(event)) {
      events.push_back(event);
    } else {
      ++empty_looks;
    }
  }
  return events;
}

bool FullScreen(SDL_Window* window) {
  return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

TEST_F(DummyDisplayTest, AltEnterShowsTheExclusiveDisplayInAWindowThatKeepsIt) {
  host_->OpenWindow("Test Window", 640, 480);
  host_->SetExclusiveMode(true, 640, 480);
  DrainEvents(*host_);
  ASSERT_TRUE(FullScreen(host_->window()));
  EXPECT_FALSE(host_->KeepsDisplayWhenInactive());

  PushAltEnter(host_->window());
  EXPECT_TRUE(DrainEvents(*host_).empty()) << "the program hears nothing of the switch";
  EXPECT_FALSE(FullScreen(host_->window()));
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(host_->window(), &width, &height);
  // The dummy desktop (1024x768) has no room for twice the mode.
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_TRUE(host_->KeepsDisplayWhenInactive());

  // A larger window shows the frame at the largest whole scale, centred on black.
  TestFrame frame;
  host_->Present(frame.View());
  SDL_SetWindowSize(host_->window(), 1300, 1000);
  DrainEvents(*host_);
  ASSERT_EQ(SDL_GetWindowSurface(host_->window())->w, 1300);
  EXPECT_EQ(WindowRgb(9, 20), 0u);
  EXPECT_EQ(WindowRgb(10, 19), 0u);
  EXPECT_EQ(WindowRgb(10, 20), 0xFFFFFFu);
  EXPECT_EQ(WindowRgb(11, 21), 0xFFFFFFu) << "the edge pixel is two pixels wide";
  EXPECT_EQ(WindowRgb(12, 22), 0x204080u);
  EXPECT_EQ(WindowRgb(10 + 1279, 20 + 959), 0xFFFFFFu);
  EXPECT_EQ(WindowRgb(10 + 1280, 20 + 959), 0u);

  // In a window, losing the foreground neither minimises nor takes the display.
  SDL_Event focus{};
  focus.type = SDL_WINDOWEVENT;
  focus.window.windowID = SDL_GetWindowID(host_->window());
  focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  SDL_PushEvent(&focus);
  std::vector<HostEvent> events = DrainEvents(*host_);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, HostEventType::kFocusLost);
  EXPECT_FALSE(events[0].minimized);
  focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
  SDL_PushEvent(&focus);
  events = DrainEvents(*host_);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, HostEventType::kFocusGained);

  // Back to full screen, where losing the foreground minimises again.
  PushAltEnter(host_->window());
  DrainEvents(*host_);
  EXPECT_TRUE(FullScreen(host_->window()));
  EXPECT_FALSE(host_->KeepsDisplayWhenInactive());
  focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  SDL_PushEvent(&focus);
  events = DrainEvents(*host_);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].minimized);
}

TEST_F(DummyDisplayTest, AltEnterLeavesAPlainWindowAlone) {
  host_->OpenWindow("Test Window", 640, 480);
  PushAltEnter(host_->window());
  DrainEvents(*host_);
  EXPECT_FALSE(host_->KeepsDisplayWhenInactive());
  host_->SetExclusiveMode(true, 640, 480);
  EXPECT_TRUE(FullScreen(host_->window())) << "the key did not choose a window for later";
}

TEST_F(DummyDisplayTest, WindowedChoiceOutlastsLeavingExclusiveMode) {
  host_->OpenWindow("Test Window", 640, 480);
  host_->SetExclusiveMode(true, 640, 480);
  PushAltEnter(host_->window());
  DrainEvents(*host_);
  SDL_SetWindowSize(host_->window(), 1300, 1000);
  DrainEvents(*host_);

  host_->SetExclusiveMode(false, 640, 480);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(host_->window(), &width, &height);
  EXPECT_EQ(width, 640) << "the program's own window size";
  EXPECT_EQ(height, 480);
  EXPECT_FALSE(host_->KeepsDisplayWhenInactive());

  host_->SetExclusiveMode(true, 640, 480);
  EXPECT_FALSE(FullScreen(host_->window()));
  EXPECT_TRUE(host_->KeepsDisplayWhenInactive());
}

// The dummy driver shows nothing, so the host would rightly refuse DirectDraw a display.
class DisplayClaimingHost : public SdlHost {
 public:
  bool DisplayAvailable() override { return true; }
};

// The whole platform on the SDL host: the program's window, its exclusive display and
// the activation messages it gets.
class PlatformOnDummyDisplayTest : public testing::Test {
 protected:
  PlatformOnDummyDisplayTest() {
    environment_.Set("SDL_VIDEODRIVER", "dummy");
    host_.emplace();
    InstallHost(&*host_);
    window_ = test_support::ShowTestWindow({.style = WS_POPUP, .procedure = RecordingProc});
    activations_.clear();
  }
  ~PlatformOnDummyDisplayTest() override {
    ResetAllServices();
    InstallHost(nullptr);
  }

  void SetUpDisplay() {
    test_support::CreateExclusiveDisplay(window_, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, direct_draw_,
                                         primary_);
  }

  // Takes every message the host's events give, twice over (see DrainEvents).
  void PumpMessages() {
    test_support::PumpMessages();
    test_support::PumpMessages();
  }

  void PushFocus(SDL_WindowEventID id) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(host_->window());
    event.window.event = id;
    SDL_PushEvent(&event);
  }

  static LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ACTIVATE)
      activations_.push_back(wparam);
    return DefWindowProcA(window, message, wparam, lparam);
  }

  static inline std::vector<WPARAM> activations_;
  ScopedEnvironment environment_;
  std::optional<DisplayClaimingHost> host_;
  HWND window_ = nullptr;
  LPDIRECTDRAW7 direct_draw_ = nullptr;
  LPDIRECTDRAWSURFACE7 primary_ = nullptr;
};

TEST_F(PlatformOnDummyDisplayTest, WindowedDisplayOutlivesAnotherWindowsActivation) {
  SetUpDisplay();
  PumpMessages();
  PushAltEnter(host_->window());
  PumpMessages();
  ASSERT_FALSE(FullScreen(host_->window()));
  EXPECT_TRUE(activations_.empty()) << "the switch itself activates nothing";

  PushFocus(SDL_WINDOWEVENT_FOCUS_LOST);
  PumpMessages();
  EXPECT_EQ(activations_, std::vector<WPARAM>{MAKEWPARAM(WA_INACTIVE, 0)});
  EXPECT_EQ(primary_->IsLost(), DD_OK);
  EXPECT_EQ(direct_draw_->TestCooperativeLevel(), DD_OK);
  EXPECT_EQ(primary_->Flip(NULL, DDFLIP_WAIT), DD_OK);

  PushFocus(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushAltEnter(host_->window());
  PumpMessages();
  ASSERT_TRUE(FullScreen(host_->window()));
  activations_.clear();
  PushFocus(SDL_WINDOWEVENT_FOCUS_LOST);
  PumpMessages();
  EXPECT_EQ(activations_, std::vector<WPARAM>{MAKEWPARAM(WA_INACTIVE, 1)});
  EXPECT_EQ(primary_->IsLost(), DDERR_SURFACELOST) << "full screen loses it as before";
}

// The way the host presents, chosen when the window opens, on SDL's display-less drivers:
// the dummy driver has only SDL's software renderer, the offscreen driver OpenGL through
// EGL (in software here). Either way a frame sends only what changed, and the window
// shows exactly the frame, scaled and centred on black.
struct PathCase {
  const char* name;
  const char* video_driver;
  const char* choice;  // ORV_SDL_PRESENT
  sdl::PresentPath expected;
  bool depends_on_machine;  // automatic, where a graphics device could make it a renderer
  // Over the whole desktop; else in the program's window (the offscreen driver's OpenGL
  // surface keeps the size the window was made with).
  bool exclusive = true;
};

void PrintTo(const PathCase& c, std::ostream* out) {
  *out << c.name;
}

class PresentPathTest : public testing::TestWithParam<PathCase> {
 protected:
  PresentPathTest() {
    environment_.Set("SDL_VIDEODRIVER", GetParam().video_driver);
    environment_.Set(sdl::kPresentVariable, GetParam().choice);
    host_.emplace();
  }

  // Presents the frame and checks the window's whole picture against it.
  void PresentAndCompare(const TestFrame& frame, std::size_t expected_bytes) {
    host_->Present(frame.View());
    EXPECT_EQ(host_->last_present_bytes(), expected_bytes);
    std::vector<std::uint32_t> picture;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(host_->ReadWindowPicture(picture, width, height));
    const sdl::FramePlacement at = sdl::FitFrame(width, height, 640, 480);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t want = sdl::ExpectedPixel(frame.View(), at, x, y);
        const std::uint32_t got = picture[static_cast<std::size_t>(y) * width + x];
        if (got != want && ++wrong <= 5) {
          ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << got << " for " << want;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  ScopedEnvironment environment_;
  std::optional<SdlHost> host_;
};

TEST_P(PresentPathTest, ShowsEachFrameWholeWhileSendingOnlyWhatChanged) {
  const PathCase& c = GetParam();
  host_->OpenWindow("Test Window", 640, 480);
  ASSERT_NE(host_->window(), nullptr);
  if (!c.depends_on_machine || !sdl::HasGraphicsDevice()) {
    EXPECT_EQ(host_->present_path(), c.expected);
  }
  if (c.exclusive)
    host_->SetExclusiveMode(true, 640, 480);
  DrainEvents(*host_);
  const bool surface = host_->present_path() == sdl::PresentPath::kWindowSurface;
  int window_width = 0;
  int window_height = 0;
  SDL_GetWindowSize(host_->window(), &window_width, &window_height);
  constexpr std::size_t kPixel = 4;

  TestFrame frame;
  // The first frame goes whole: on the window surface with its black surround.
  PresentAndCompare(frame, kPixel * (surface ? window_width * window_height : 640 * 480));
  PresentAndCompare(frame, 0);
  frame.indices[77 * 640 + 101] = 2;
  PresentAndCompare(frame, kPixel);
  // A patterned sprite steps two pixels right: the area of both its places.
  const auto sprite = [&](int left, int top) {
    for (int y = 0; y < 46; ++y) {
      for (int x = 0; x < 48; ++x)
        frame.indices[(top + y) * 640 + left + x] = static_cast<std::uint8_t>(4 + (x + y) % 3);
    }
  };
  sprite(200, 150);
  PresentAndCompare(frame, kPixel * 48 * 46);
  frame = TestFrame();
  frame.indices[77 * 640 + 101] = 2;
  sprite(202, 150);
  PresentAndCompare(frame, kPixel * 50 * 46);
  // A new colour for one palette entry: the whole frame, but not the surround again.
  frame.palette[1] = {0x01, 0x02, 0x03, 0};
  PresentAndCompare(frame, kPixel * 640 * 480);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, PresentPathTest,
    testing::Values(
        PathCase{"DummyChosen", "dummy", nullptr, sdl::PresentPath::kWindowSurface, false},
        PathCase{"DummySurface", "dummy", "surface", sdl::PresentPath::kWindowSurface, false},
        PathCase{"DummyRenderer", "dummy", "renderer", sdl::PresentPath::kRenderer, false},
        PathCase{"DummyUnknownValue", "dummy", "gpu", sdl::PresentPath::kWindowSurface, false},
        PathCase{"OffscreenChosen", "offscreen", nullptr, sdl::PresentPath::kWindowSurface, true,
                 false},
        PathCase{"OffscreenRenderer", "offscreen", "renderer", sdl::PresentPath::kRenderer, false,
                 false}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

TEST(PresentChoice, ParsesTheVariable) {
  bool known = false;
  EXPECT_EQ(sdl::ParsePresentChoice(nullptr, known), sdl::PresentChoice::kAuto);
  EXPECT_TRUE(known);
  EXPECT_EQ(sdl::ParsePresentChoice("renderer", known), sdl::PresentChoice::kRenderer);
  EXPECT_EQ(sdl::ParsePresentChoice("surface", known), sdl::PresentChoice::kSurface);
  EXPECT_EQ(sdl::ParsePresentChoice("auto", known), sdl::PresentChoice::kAuto);
  EXPECT_TRUE(known);
  EXPECT_EQ(sdl::ParsePresentChoice("Renderer", known), sdl::PresentChoice::kAuto);
  EXPECT_FALSE(known);
}

TEST(PresentChoice, TellsSoftwareRasterisersFromGraphicsDevices) {
  const std::pair<const char*, bool> renderers[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Software Rasterizer", true},
      {"SwiftShader Device (Subzero) (0x0000C0DE)", true},
      {"Apple Software Renderer", true},
      {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
      {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
  };
  for (const auto& [name, software] : renderers)
    EXPECT_EQ(sdl::IsSoftwareRasterizer(name), software) << name;
}

// The reason why there is no display comes first, once.
TEST_F(DummyDisplayTest, MessageBoxWithoutADisplayGoesToStandardError) {
  testing::internal::CaptureStderr();
  host_->ShowMessageBox("SetDisplayMode FAILED", "Caption");
  host_->ShowMessageBox("Second", "Caption");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Orvendal cannot open a display: SDL's video driver 'dummy' (SDL_VIDEODRIVER) shows "
            "nothing\nCaption: SetDisplayMode FAILED\nCaption: Second\n");
}

// A frame handed over before its due time is held and shown when due: by the program's
// next sleep, which ends with it unless it lasts longer, by a look at the events after
// the due time, or by the next frame.
TEST_F(DummyDisplayTest, FrameHandedOverEarlyIsShownWhenDue) {
  host_->OpenWindow("Test Window", 640, 480);
  TestFrame frame;
  host_->Present(frame.View());
  ASSERT_EQ(WindowRgb(320, 240), 0xFF0000u) << "nothing due: shown at once";

  const auto hand_over = [&](std::uint8_t index, std::uint64_t ahead) {
    frame.indices[240 * 640 + 320] = index;
    const std::uint64_t due = host_->NowMicroseconds() + ahead;
    host_->AwaitFrameDue(due);
    host_->Present(frame.View());
    return due;
  };
  std::uint64_t due = hand_over(1, 200'000);
  EXPECT_EQ(WindowRgb(320, 240), 0xFF0000u) << "held until due";
  host_->SleepMicroseconds(0);
  EXPECT_LT(host_->NowMicroseconds(), due) << "a sleep of nothing does not wait for it";
  host_->SleepMicroseconds(1000);
  EXPECT_GE(host_->NowMicroseconds(), due) << "a short sleep ends when the frame is due";
  EXPECT_EQ(WindowRgb(320, 240), 0x204080u);

  due = hand_over(3, 2000);
  const std::uint64_t start = host_->NowMicroseconds();
  host_->SleepMicroseconds(30'000);
  EXPECT_GE(host_->NowMicroseconds() - start, 30'000u) << "a longer sleep lasts its time";
  EXPECT_EQ(WindowRgb(320, 240), 0xFFFFFFu);

  due = hand_over(2, 1000);
  host_->SleepUntilMicroseconds(due);
  HostEvent event;
  while (host_->PollEvent(event)) {
  }
  EXPECT_EQ(WindowRgb(320, 240), 0xFF0000u) << "due while looking at the events";

  hand_over(1, 200'000);
  frame.indices[240 * 640 + 321] = 3;
  host_->Present(frame.View());  // handed over with nothing due: at once, after the held one
  EXPECT_EQ(WindowRgb(320, 240), 0x204080u);
  EXPECT_EQ(WindowRgb(321, 240), 0xFFFFFFu);
}

TEST_F(DummyDisplayTest, SleepTakesAtLeastItsDuration) {
  const std::uint64_t start = host_->NowMicroseconds();
  host_->SleepMicroseconds(3000);
  EXPECT_GE(host_->NowMicroseconds() - start, 3000u);
}

TEST_F(DummyDisplayTest, SleepUntilWakesNoEarlierThanTheDeadline) {
  for (const std::uint64_t ahead : {0, 1, 700, 2500}) {
    const std::uint64_t deadline = host_->NowMicroseconds() + ahead;
    host_->SleepUntilMicroseconds(deadline);
    EXPECT_GE(host_->NowMicroseconds(), deadline) << ahead << " us ahead";
  }
  // A deadline already passed returns without waiting for anything.
  host_->SleepUntilMicroseconds(0);
}

}  // namespace
}  // namespace orv::platform
