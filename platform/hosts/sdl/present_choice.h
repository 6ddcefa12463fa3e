// Which way the SDL host presents, chosen when its window opens. An accelerated renderer
// shows frames at the vertical blank, without tearing; but where rendering would be done
// in software (as on Xvfb, whose OpenGL is Mesa's llvmpipe) the window surface costs a
// fraction of it. ORV_SDL_PRESENT=renderer or =surface forces either way.
#pragma once

#include <SDL.h>

#include <string_view>

namespace orv::platform::sdl {

enum class PresentChoice {
  kAuto,      // a renderer when an accelerated one opens, else the window surface
  kRenderer,  // a renderer whatever it is (accelerated first, SDL's software one else)
  kSurface,   // the window surface
};

inline constexpr const char* kPresentVariable = "ORV_SDL_PRESENT";

// The choice an ORV_SDL_PRESENT value names; `known` is false for a value that names
// none (which chooses automatically).
PresentChoice ParsePresentChoice(const char* value, bool& known);

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser in software.
bool IsSoftwareRasterizer(std::string_view gl_renderer);

// Whether the machine has a graphics device a driver could accelerate rendering on. Where
// there is none, trying a renderer would only load a software one, which takes tens of
// milliseconds of start-up.
bool HasGraphicsDevice();

// Window flags the choice needs at creation: OpenGL renderers want an OpenGL window, and
// SDL would otherwise make the window again.
Uint32 WindowFlagsFor(PresentChoice choice);

// The renderer the choice asks for on `window`, or null for the window surface.
SDL_Renderer* OpenRenderer(SDL_Window* window, PresentChoice choice);

}  // namespace orv::platform::sdl
