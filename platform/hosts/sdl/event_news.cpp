#include "hosts/sdl/event_news.h"

#if defined(ORV_WATCH_X11)
#include <poll.h>

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#endif

namespace orv::platform::sdl {

void EventNews::Watch(SDL_Window* window) {
  display_ = nullptr;
#if defined(ORV_WATCH_X11) && defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
      info.subsystem == SDL_SYSWM_X11) {
    display_ = info.info.x11.display;
  }
#else
  (void)window;
#endif
}

void EventNews::Forget() {
  display_ = nullptr;
}

bool EventNews::MayHaveEvents(std::uint64_t now_us) {
  if (display_ == nullptr || now_us - last_read_us_ >= kLongestQuietUs)
    return true;
  if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE)
    return true;
#if defined(ORV_WATCH_X11)
  auto* display = static_cast<Display*>(display_);
  // Events Xlib read while it waited for a reply wait in its queue, not on the connection.
  // (Its own calls for that read the connection, as SDL's look does.)
  if (XQLength(display) > 0)
    return true;
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  return poll(&connection, 1, 0) != 0;
#else
  return true;
#endif
}

}  // namespace orv::platform::sdl
