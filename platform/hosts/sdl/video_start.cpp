#include "hosts/sdl/video_start.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hosts/sdl/held_stderr.h"

namespace orv::platform::sdl {
namespace {

const char* Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

// Initialises SDL's video subsystem with standard error held; returns whether it started
// and, in `answer`, the last line the libraries wrote.
bool InitVideo(bool library_output, std::string& answer) {
  HeldStandardError held;
  const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  const std::string text = held.Release();
  if (library_output)
    std::fwrite(text.data(), 1, text.size(), stderr);
  answer = LastLine(text);
  return started;
}

std::string WithAnswer(std::string what, const std::string& answer) {
  if (!answer.empty())
    what += ": " + answer;
  return what;
}

}  // namespace

VideoStart StartVideo(bool library_output) {
  const std::string prefix = "Orvendal cannot open a display: ";
  VideoStart start;
  std::string answer;
  const char* display = Environment("DISPLAY");
  const char* wayland_display = Environment("WAYLAND_DISPLAY");

  if (const char* forced = Environment("SDL_VIDEODRIVER")) {
    start.video_ready = InitVideo(library_output, answer);
    if (!start.video_ready) {
      start.no_display = prefix + "SDL's video driver '" + forced +
                         "' (SDL_VIDEODRIVER) did not start: " + SDL_GetError();
      return start;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
      start.no_display =
          prefix + "SDL's video driver '" + driver + "' (SDL_VIDEODRIVER) shows nothing";
    } else if (display == nullptr && wayland_display == nullptr) {
      start.no_display = prefix + "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    return start;
  }

  if (display == nullptr && wayland_display == nullptr) {
    start.no_display = prefix + "neither DISPLAY nor WAYLAND_DISPLAY is set";
    return start;
  }
  std::string failures;
  const struct {
    const char* driver;
    const char* variable;
    const char* value;
    const char* what;
  } tries[] = {{"x11", "DISPLAY", display, "the X display"},
               {"wayland", "WAYLAND_DISPLAY", wayland_display, "the Wayland display"}};
  for (const auto& attempt : tries) {
    if (attempt.value == nullptr)
      continue;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, attempt.driver);
    start.video_ready = InitVideo(library_output, answer);
    if (start.video_ready)
      break;
    if (!failures.empty())
      failures += "; ";
    failures += WithAnswer(std::string(attempt.what) + " '" + attempt.value + "' (" +
                               attempt.variable + ") did not open",
                           answer);
  }
  SDL_ResetHint(SDL_HINT_VIDEODRIVER);
  if (!start.video_ready)
    start.no_display = prefix + failures;
  return start;
}

}  // namespace orv::platform::sdl
