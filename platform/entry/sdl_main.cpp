// main() of a program played on the SDL host.
#include "entry/start_up.h"
#include "hosts/sdl/sdl_host.h"

int main(int argc, char** argv) {
  orv::platform::SdlHost host;
  return orv::platform::RunWinMain(host, argc, argv);
}
