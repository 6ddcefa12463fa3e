// main() of a program played on the SDL host. The player's options are read here, before
// anything starts; the game itself reads no command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "entry/player_options.h"
#include "entry/start_up.h"
#include "hosts/sdl/sdl_host.h"

int main(int argc, char** argv) {
  const orv::platform::StartUpChoice choice = orv::platform::ReadPlayerOptions(argc, argv);
  std::fputs(choice.output.c_str(), stdout);
  std::fputs(choice.error.c_str(), stderr);
  if (!choice.run)
    return choice.exit_code;

  orv::platform::SdlHostOptions options;
  options.start_windowed = choice.options.windowed;
  options.window_scale = choice.options.window_scale;
  const char* verbose = std::getenv("ORVENDAL_VERBOSE");
  options.library_output = verbose != nullptr && *verbose != '\0' && std::strcmp(verbose, "0") != 0;
  orv::platform::SdlHost host(options);
  return orv::platform::RunWinMain(host, argc, argv);
}
