// main() of the program in the browser. When WinMain returns, the page says that the
// game has ended and offers to start it again.
#include "entry/start_up.h"
#include "hosts/web/web_host.h"

int main(int argc, char** argv) {
  orv::platform::WebHost host;
  const int exit_code = orv::platform::RunWinMain(host, argc, argv);
  host.ShowEnded(exit_code);
  return exit_code;
}
