#include "hosts/sdl/present_choice.h"

#include "hosts/sdl/system_allocations.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace orv::platform::sdl {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// Whether a renderer SDL opened does its work on a graphics device.
bool Accelerated(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_ACCELERATED) == 0)
    return false;
  const std::string_view name = info.name != nullptr ? info.name : "";
  if (name == "software")
    return false;
  // SDL calls every OpenGL renderer accelerated, Mesa's software rasterisers included; the
  // renderer's context is current, so OpenGL itself can say.
  if (StartsWith(name, "opengl")) {
    using GetString = const unsigned char* (*)(unsigned);
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* gl_renderer = get_string != nullptr ? get_string(kGlRenderer) : nullptr;
    return gl_renderer != nullptr &&
           !IsSoftwareRasterizer(reinterpret_cast<const char*>(gl_renderer));
  }
  return true;
}

}  // namespace

PresentChoice ParsePresentChoice(const char* value, bool& known) {
  known = true;
  if (value == nullptr || *value == '\0' || std::strcmp(value, "auto") == 0)
    return PresentChoice::kAuto;
  if (std::strcmp(value, "renderer") == 0)
    return PresentChoice::kRenderer;
  if (std::strcmp(value, "surface") == 0)
    return PresentChoice::kSurface;
  known = false;
  return PresentChoice::kAuto;
}

bool IsSoftwareRasterizer(std::string_view gl_renderer) {
  std::string lower(gl_renderer);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer",
                               "software renderer", "swiftshader", "lavapipe"}) {
    if (lower.find(software) != std::string::npos)
      return true;
  }
  return false;
}

bool HasGraphicsDevice() {
#if defined(__linux__)
  // Direct rendering devices (Mesa's drivers and most others), or NVIDIA's own.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    const std::string name = entry.path().filename().string();
    if (StartsWith(name, "card") || StartsWith(name, "renderD"))
      return true;
  }
  return std::filesystem::exists("/dev/nvidiactl", error);
#else
  return true;
#endif
}

Uint32 WindowFlagsFor(PresentChoice choice) {
  if (choice == PresentChoice::kSurface ||
      (choice == PresentChoice::kAuto && !HasGraphicsDevice())) {
    return 0;
  }
  SDL_RendererInfo first{};
  if (SDL_GetNumRenderDrivers() > 0 && SDL_GetRenderDriverInfo(0, &first) == 0 &&
      first.name != nullptr && StartsWith(first.name, "opengl")) {
    return SDL_WINDOW_OPENGL;
  }
  return 0;
}

SDL_Renderer* OpenRenderer(SDL_Window* window, PresentChoice choice) {
  if (choice == PresentChoice::kSurface ||
      (choice == PresentChoice::kAuto && !HasGraphicsDevice())) {
    return nullptr;
  }
  const SystemAllocations driver;
  SDL_Renderer* renderer =
      SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (renderer == nullptr && choice == PresentChoice::kRenderer)
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (renderer == nullptr && choice == PresentChoice::kRenderer)
    renderer = SDL_CreateRenderer(window, -1, 0);
  if (renderer != nullptr && choice == PresentChoice::kAuto && !Accelerated(renderer)) {
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
  }
  return renderer;
}

}  // namespace orv::platform::sdl
