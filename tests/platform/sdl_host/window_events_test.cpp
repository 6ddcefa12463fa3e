#include "hosts/sdl/window_events.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orv::platform::sdl {
namespace {

SDL_Event WindowEvent(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = id;
  event.window.windowID = 1;
  return event;
}

SDL_Event Event(SDL_EventType type) {
  SDL_Event event{};
  event.type = type;
  return event;
}

// Each outcome as text: "lost", "lost+min", "gained", "pointer", "close", "-" for none,
// with "minimize:" in front when the window must be minimised.
std::string Describe(const WindowEvents::Outcome& outcome) {
  std::string text = outcome.minimize_window ? "minimize:" : "";
  if (!outcome.event)
    return text + "-";
  switch (outcome.event->type) {
    case HostEventType::kPointerMoved:
      return text + "pointer";
    case HostEventType::kFocusLost:
      return text + (outcome.event->minimized ? "lost+min" : "lost");
    case HostEventType::kFocusGained:
      return text + "gained";
    case HostEventType::kCloseRequested:
      return text + "close";
  }
  return text + "?";
}

std::vector<std::string> Translate(WindowEvents& translator, const std::vector<SDL_Event>& events) {
  std::vector<std::string> outcomes;
  for (const SDL_Event& event : events)
    outcomes.push_back(Describe(translator.Translate(event)));
  return outcomes;
}

using Outcomes = std::vector<std::string>;

TEST(WindowEvents, WindowedFocusChangesAreReportedOnceEach) {
  WindowEvents translator;
  EXPECT_EQ(
      Translate(translator,
                {WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),  // starts active
                 WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                 WindowEvent(SDL_WINDOWEVENT_RESTORED),  // from maximised: no change
                 WindowEvent(SDL_WINDOWEVENT_MINIMIZED), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                 WindowEvent(SDL_WINDOWEVENT_RESTORED), WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)}),
      (Outcomes{"-", "lost", "-", "-", "lost+min", "-", "gained", "-"}));
}

TEST(WindowEvents, ExclusiveWindowIsMinimisedWhenItLosesTheForeground) {
  WindowEvents translator;
  translator.SetFullScreen(true);
  EXPECT_EQ(Translate(translator, {WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                                   WindowEvent(SDL_WINDOWEVENT_MINIMIZED),  // our own minimising
                                   WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                                   WindowEvent(SDL_WINDOWEVENT_RESTORED),
                                   WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
                                   WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST)}),
            (Outcomes{"minimize:lost+min", "-", "-", "gained", "-", "minimize:lost+min"}));

  translator.SetFullScreen(false);
  EXPECT_EQ(Translate(translator, {WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
                                   WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST)}),
            (Outcomes{"gained", "lost"}));
}

SDL_Event KeyDown(SDL_Keycode key, Uint16 modifiers, Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = key;
  event.key.keysym.mod = modifiers;
  event.key.repeat = repeat;
  return event;
}

struct ToggleCase {
  const char* name;
  SDL_Event event;
  bool toggles;
};

void PrintTo(const ToggleCase& c, std::ostream* out) {
  *out << c.name;
}

class FullScreenToggleTest : public testing::TestWithParam<ToggleCase> {};

TEST_P(FullScreenToggleTest, OnlyAFreshAltEnterSwitches) {
  WindowEvents translator;
  const WindowEvents::Outcome outcome = translator.Translate(GetParam().event);
  EXPECT_EQ(outcome.toggle_full_screen, GetParam().toggles);
  EXPECT_FALSE(outcome.event) << "the switch is nothing the program hears of";
  EXPECT_FALSE(outcome.minimize_window);
}

SDL_Event KeyUp(SDL_Keycode key, Uint16 modifiers) {
  SDL_Event event = KeyDown(key, modifiers);
  event.type = SDL_KEYUP;
  return event;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FullScreenToggleTest,
    testing::Values(ToggleCase{"LeftAltReturn", KeyDown(SDLK_RETURN, KMOD_LALT), true},
                    ToggleCase{"RightAltKeypadEnter", KeyDown(SDLK_KP_ENTER, KMOD_RALT), true},
                    ToggleCase{"AltShiftReturn", KeyDown(SDLK_RETURN, KMOD_LALT | KMOD_LSHIFT),
                               true},
                    ToggleCase{"ReturnAlone", KeyDown(SDLK_RETURN, KMOD_NONE), false},
                    ToggleCase{"CtrlReturn", KeyDown(SDLK_RETURN, KMOD_LCTRL), false},
                    ToggleCase{"AltF4", KeyDown(SDLK_F4, KMOD_LALT), false},
                    ToggleCase{"HeldAltReturnRepeating", KeyDown(SDLK_RETURN, KMOD_LALT, 1), false},
                    ToggleCase{"AltReturnReleased", KeyUp(SDLK_RETURN, KMOD_LALT), false}),
    [](const testing::TestParamInfo<ToggleCase>& info) { return info.param.name; });

TEST(WindowEvents, CloseIsReportedOnceAndAQuitOfItsOwnIsAClose) {
  WindowEvents translator;
  EXPECT_EQ(Translate(translator, {WindowEvent(SDL_WINDOWEVENT_CLOSE), Event(SDL_QUIT),
                                   Event(SDL_QUIT), Event(SDL_QUIT)}),
            (Outcomes{"close", "-", "close", "close"}));
}

TEST(WindowEvents, PointerMotionOnlyAmongInputEvents) {
  WindowEvents translator;
  EXPECT_EQ(Translate(translator, {Event(SDL_MOUSEMOTION), Event(SDL_KEYDOWN), Event(SDL_KEYUP),
                                   Event(SDL_MOUSEBUTTONDOWN), WindowEvent(SDL_WINDOWEVENT_EXPOSED),
                                   WindowEvent(SDL_WINDOWEVENT_MOVED)}),
            (Outcomes{"pointer", "-", "-", "-", "-", "-"}));
}

TEST(WindowEvents, ResetStartsANewWindowActive) {
  WindowEvents translator;
  Translate(translator,
            {WindowEvent(SDL_WINDOWEVENT_MINIMIZED), WindowEvent(SDL_WINDOWEVENT_CLOSE)});
  translator.Reset();
  EXPECT_EQ(Translate(translator, {WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), Event(SDL_QUIT)}),
            (Outcomes{"-", "close"}));
}

}  // namespace
}  // namespace orv::platform::sdl
