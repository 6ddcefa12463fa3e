// The yardstick for the game's start-up: a minimal SDL program that opens a full-screen
// window and shows one frame, then waits to be closed. It notes the time of that frame
// the way the game's host does (ORV_PRESENT_TIMES, microseconds of the monotonic clock).
//   game_sdl_reference [--surface]
// By default the frame goes through SDL_CreateRenderer's default renderer, as most SDL
// programs show theirs; with --surface, through the window surface without OpenGL, the
// quickest way SDL has (the way the game presents on a display without a graphics
// device). The window is made and then switched to full screen, as the game does: made
// full screen at once, SDL waits about 100 ms for the window manager on X11.
#include <SDL.h>

#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void NoteFrame() {
  const char* path = std::getenv("ORV_PRESENT_TIMES");
  if (path == nullptr || *path == '\0')
    return;
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr)
    return;
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  std::fprintf(file, "%" PRId64 " 0\n",
               static_cast<std::int64_t>(
                   std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  const bool surface = argc > 1 && std::strcmp(argv[1], "--surface") == 0;
  if (surface)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("SDL reference", SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_SHOWN);
  if (window == nullptr) {
    std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
    return 1;
  }
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_Renderer* renderer = nullptr;
  if (surface) {
    SDL_Surface* picture = SDL_GetWindowSurface(window);
    SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, 0, 0, 0));
    SDL_UpdateWindowSurface(window);
  } else {
    renderer = SDL_CreateRenderer(window, -1, 0);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
  }
  NoteFrame();
  SDL_Event event;
  while (SDL_WaitEvent(&event) != 0 && event.type != SDL_QUIT) {
  }
  if (renderer != nullptr)
    SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
